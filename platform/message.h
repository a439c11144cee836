// A modal message as the program shows it: caption, text, buttons and icon,
// and the answer the user gave.
#pragma once

#include <string>

enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { Information, Warning, Error, Question };
enum class MessageAnswer { Ok, Yes, No };

struct Message {
    std::string caption;
    std::string text;
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::Information;

    bool operator==(const Message &) const = default;
};

/// Shows messages to the user; the Qt layer opens modal boxes, tests script the answers.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    /// Shows \a message modally and returns the answer (Ok for an OK box).
    virtual MessageAnswer showMessage(const Message &message) = 0;
};
