// SIGTERM, SIGINT and SIGHUP (shutdown, logout, Ctrl+C in a terminal) handed
// to the event loop as a Qt signal, so that the program can close its race
// record before it ends. The handler only writes the signal's number to a
// socket pair, which is safe inside a signal handler; a socket notifier
// reads it on the main thread.
#pragma once

#include <QObject>

class QSocketNotifier;

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    /// Catches the three signals for as long as it lives; one at a time.
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

    /// Ends the process by \a signalNumber with its default action, so the
    /// parent sees the signal it sent.
    [[noreturn]] static void endProcessBy(int signalNumber);

signals:
    void received(int signalNumber);

private:
    void readSignal();

    QSocketNotifier *notifier_ = nullptr;
};
