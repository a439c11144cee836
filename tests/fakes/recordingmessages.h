// A MessageSink for tests that records every message and answers OK.
#pragma once

#include "platform/message.h"

#include <vector>

class RecordingMessages : public MessageSink {
public:
    MessageAnswer showMessage(const Message &message) override
    {
        shown.push_back(message);
        return MessageAnswer::Ok;
    }
    std::vector<Message> shown;
};
