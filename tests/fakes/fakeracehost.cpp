#include "fakes/fakeracehost.h"

#include <gtest/gtest.h>

FakeRaceHost::~FakeRaceHost()
{
    for (const Expected &e : expected_)
        ADD_FAILURE() << "expected message never shown: " << e.text;
}

void FakeRaceHost::expectMessage(const std::string &text, MessageAnswer answer)
{
    expected_.push_back({text, answer, std::move(pendingWhileOpen_)});
    pendingWhileOpen_ = nullptr;
}

void FakeRaceHost::whileNextMessageOpen(std::function<void()> action)
{
    pendingWhileOpen_ = std::move(action);
}

MessageAnswer FakeRaceHost::showMessage(const Message &message)
{
    messages.push_back(message);
    if (expected_.empty()) {
        ADD_FAILURE() << "unexpected message: [" << message.caption << "] " << message.text;
        return message.buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    }
    Expected next = std::move(expected_.front());
    expected_.pop_front();
    EXPECT_EQ(message.text, next.text);
    if (next.whileOpen)
        next.whileOpen();
    return next.answer;
}

std::vector<std::string> FakeRaceHost::takeSounds()
{
    std::vector<std::string> taken;
    taken.swap(sounds);
    return taken;
}
