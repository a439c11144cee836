// Helpers for driving modal dialogs in tests: act on a modal window once it
// is open (from inside its own event loop), find a dialog's controls by their
// object names, and print settings texts in failed comparisons.
#pragma once

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <string>

// Failed comparisons of settings texts print both texts.
template <>
inline char *QTest::toString(const std::string &text)
{
    return qstrdup(text.c_str());
}

/// Runs \a action on the next modal window of type \a Window, from inside its
/// event loop. Gives up loudly rather than leaving a test hanging.
template <typename Window>
void whenModalOpens(std::function<void(Window *)> action, int triesLeft = 500)
{
    QTimer::singleShot(10, [action, triesLeft] {
        if (auto *window = dynamic_cast<Window *>(QApplication::activeModalWidget())) {
            action(window);
            return;
        }
        if (triesLeft == 0)
            qFatal("the expected modal window did not open");
        whenModalOpens<Window>(action, triesLeft - 1);
    });
}

/// The child of \a parent named \a name; fails the test when there is none.
template <typename Control>
Control *control(const QWidget *parent, const QString &name)
{
    auto *found = parent->findChild<Control *>(name);
    if (!found)
        qFatal("no control named %s", qPrintable(name));
    return found;
}
