// Answers the program's modal windows in GUI tests, as a user would: it polls
// for the active modal widget and hands it to the next scripted answer. A
// modal window nobody scripted is recorded and closed, and fails the test.
#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>

class ModalBot : public QObject {
    Q_OBJECT
public:
    ModalBot();
    ~ModalBot() override;

    /// The next modal window must be a message box showing \a text; it is
    /// answered with \a button.
    void answerMessage(const QString &text, QMessageBox::StandardButton button);
    /// The next modal window is handed to \a action, which must close it.
    void handleDialog(std::function<void(QWidget *)> action);

    bool allAnswered() const { return script_.empty(); }
    /// Texts of every message box seen, in order.
    QStringList seenMessages() const { return seen_; }
    /// Modal windows that came without a scripted answer.
    QStringList unexpected() const { return unexpected_; }

private:
    void poll();

    QTimer timer_;
    std::deque<std::function<void(QWidget *)>> script_;
    QList<QPointer<QWidget>> handled_;
    QStringList seen_;
    QStringList unexpected_;
};
