#include "support/modalbot.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>

namespace {

// Closes a window nobody scripted. A Yes/No box refuses its close box, as a
// user's click on it does nothing; rejecting it still ends its loop.
void dismiss(QWidget *window)
{
    if (!window->close()) {
        if (auto *dialog = qobject_cast<QDialog *>(window))
            dialog->reject();
    }
}

} // namespace

ModalBot::ModalBot()
{
    connect(&timer_, &QTimer::timeout, this, &ModalBot::poll);
    timer_.start(10);
}

ModalBot::~ModalBot() = default;

void ModalBot::answerMessage(const QString &text, QMessageBox::StandardButton button)
{
    script_.push_back([this, text, button](QWidget *window) {
        auto *box = qobject_cast<QMessageBox *>(window);
        if (!box || box->text() != text) {
            unexpected_ << (box ? box->text() : window->windowTitle()) + QStringLiteral(" (expected: ") + text + ')';
            dismiss(window);
            return;
        }
        box->button(button)->click();
    });
}

void ModalBot::handleDialog(std::function<void(QWidget *)> action)
{
    script_.push_back(std::move(action));
}

void ModalBot::poll()
{
    QWidget *window = QApplication::activeModalWidget();
    // A window stays handled until it is gone; an action may open a nested
    // modal window, which a re-entered poll handles in turn.
    if (!window || !window->isVisible() || handled_.contains(window))
        return;
    handled_.append(window);
    auto *box = qobject_cast<QMessageBox *>(window);
    if (box)
        seen_ << box->text();
    if (script_.empty()) {
        unexpected_ << window->windowTitle() + QStringLiteral(": ") + (box ? box->text() : QString());
        dismiss(window);
        return;
    }
    auto action = std::move(script_.front());
    script_.pop_front();
    action(window);
}
