// The program's message boxes: a Yes/No question can be left only by Yes or
// No, never by Esc or its close box; Return takes the default; an OK box
// still closes with Esc.
#include "qtplatform/messagebox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

const Message kFalseStart{"Otázka", "Byl zaznamenán ulitý start. Přejete si pokračovat?", MessageButtons::YesNo,
                          MessageIcon::Question};
const Message kNotice{"Informace", "Data byla úspěšně nahrána.", MessageButtons::Ok, MessageIcon::Information};

// Shows \a message and hands the open box to \a user, who must answer it.
MessageAnswer showAndAnswer(const Message &message, std::function<void(QMessageBox *)> user)
{
    bool handled = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || handled)
            return;
        handled = true;
        user(box);
    });
    poll.start(10);
    return showMessageBox(nullptr, message);
}

// Presses \a key where the keyboard focus of the box is, as a user's key would land.
void press(QMessageBox *box, Qt::Key key)
{
    QWidget *target = box->focusWidget() ? box->focusWidget() : box;
    QTest::keyClick(target, key);
    QApplication::processEvents();
}

} // namespace

class MessageBoxTest : public QObject {
    Q_OBJECT
private slots:
    void questionIgnoresEscAndTheCloseBoxUntilAnswered()
    {
        bool openAfterEsc = false;
        bool closeRefused = false;
        const MessageAnswer answer = showAndAnswer(kFalseStart, [&](QMessageBox *box) {
            press(box, Qt::Key_Escape);
            openAfterEsc = box->isVisible();
            closeRefused = !box->close() && box->isVisible();
            box->button(QMessageBox::No)->click();
        });
        QVERIFY(openAfterEsc);
        QVERIFY(closeRefused);
        QCOMPARE(answer, MessageAnswer::No);
    }

    void questionShowsItsTextAndReturnTakesYes()
    {
        QString shown;
        const MessageAnswer answer = showAndAnswer(kFalseStart, [&](QMessageBox *box) {
            shown = box->windowTitle() + " | " + box->text() + " | " + QString::number(box->icon());
            press(box, Qt::Key_Return);
        });
        QCOMPARE(answer, MessageAnswer::Yes);
        QCOMPARE(shown, QStringLiteral("Otázka | Byl zaznamenán ulitý start. Přejete si pokračovat? | %1")
                            .arg(QMessageBox::Question));
    }

    void okBoxStillClosesWithEscOrReturn()
    {
        for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
            bool closed = false;
            const MessageAnswer answer = showAndAnswer(kNotice, [&](QMessageBox *box) {
                press(box, key);
                closed = !box->isVisible();
                if (!closed)
                    box->button(QMessageBox::Ok)->click();
            });
            QVERIFY2(closed, key == Qt::Key_Escape ? "Esc" : "Return");
            QCOMPARE(answer, MessageAnswer::Ok);
        }
    }
};

QTEST_MAIN(MessageBoxTest)
#include "messagebox_test.moc"
