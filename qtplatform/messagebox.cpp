#include "qtplatform/messagebox.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>

namespace {

QMessageBox::Icon boxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// A question with only Yes and No has no way out but its two buttons: a stray
// Esc or a click on the close box must not answer No (on the false-start
// question that would end the program in the middle of the countdown).
class QuestionBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->matches(QKeySequence::Cancel)) {
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent *event) override
    {
        // Answering closes the box too; only a close with no answer is refused.
        if (clickedButton() == nullptr) {
            event->ignore();
            return;
        }
        QMessageBox::closeEvent(event);
    }
};

} // namespace

MessageAnswer showMessageBox(QWidget *parent, const Message &message)
{
    const QString caption = QString::fromStdString(message.caption);
    const QString text = QString::fromStdString(message.text);
    if (message.buttons == MessageButtons::Ok) {
        QMessageBox box(boxIcon(message.icon), caption, text, QMessageBox::Ok, parent);
        box.setDefaultButton(QMessageBox::Ok);
        box.exec();
        return MessageAnswer::Ok;
    }
    QuestionBox box(boxIcon(message.icon), caption, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}
