#include "shell/windowracehost.h"

#include "shell/mainframe.h"
#include "qtplatform/messagebox.h"

#include <ctime>

std::int32_t WindowRaceHost::hostClockMs()
{
    return frame_.hostClockMs();
}

std::int64_t WindowRaceHost::calendarSeconds()
{
    return static_cast<std::int64_t>(std::time(nullptr));
}

void WindowRaceHost::seedRandom(unsigned seed)
{
    random_.seed(seed);
}

int WindowRaceHost::nextRandom()
{
    return static_cast<int>(random_() % 32768);
}

void WindowRaceHost::playSound(const std::string &file)
{
    frame_.playSound(file);
}

MessageAnswer WindowRaceHost::showMessage(const Message &message)
{
    return showMessageBox(&frame_, message);
}

void WindowRaceHost::startTimer(int id, int periodMs)
{
    frame_.startNumberedTimer(id, periodMs);
}

void WindowRaceHost::stopTimer(int id)
{
    frame_.stopNumberedTimer(id);
}

void WindowRaceHost::setWindowTitle(const std::string &title)
{
    frame_.setWindowTitle(QString::fromStdString(title));
}

void WindowRaceHost::closeMainWindow()
{
    frame_.destroyWindow();
}
