#include "setup/trackdialog.h"

#include "setup/dialogtesting.h"

#include <QLineEdit>
#include <QToolButton>
#include <QtTest>

class TrackDialogTest : public QObject {
    Q_OBJECT

private:
    struct Open {
        TrackDialog dialog{OkButtonRole::Ok};
        QLineEdit *length = control<QLineEdit>(&dialog, "edit1000");
        QLineEdit *scale = control<QLineEdit>(&dialog, "edit1002");

        explicit Open(TrackDialog::Values values)
        {
            dialog.setValues(values);
            dialog.show();
        }
        void click(const char *spin, const char *arrow)
        {
            control<QToolButton>(control<QWidget>(&dialog, spin), arrow)->click();
        }
        void retype(QLineEdit *edit, const QString &text)
        {
            edit->selectAll();
            QTest::keyClicks(edit, text);
        }
    };

private slots:
    void storedValuesOpenAsShownAndConfirmAsShown_data()
    {
        QTest::addColumn<int>("storedLength");
        QTest::addColumn<int>("storedScale");
        QTest::addColumn<QString>("shownLength");
        QTest::addColumn<QString>("shownScale");
        QTest::newRow("both unset take the defaults") << 0 << 0 << "20" << "32";
        QTest::newRow("values in range stay") << 25 << 43 << "25" << "43";
        QTest::newRow("length unset alone is clamped, not defaulted") << 0 << 32 << "1" << "32";
        QTest::newRow("scale above range") << 20 << 150 << "20" << "100";
        QTest::newRow("negative length") << -5 << 40 << "1" << "40";
    }
    void storedValuesOpenAsShownAndConfirmAsShown()
    {
        QFETCH(int, storedLength);
        QFETCH(int, storedScale);
        QFETCH(QString, shownLength);
        QFETCH(QString, shownScale);
        Open open({storedLength, storedScale});
        QCOMPARE(open.length->text(), shownLength);
        QCOMPARE(open.scale->text(), shownScale);
        QCOMPARE(open.dialog.values().trackLength, shownLength.toInt());
        QCOMPARE(open.dialog.values().scale, shownScale.toInt());
    }

    void typingAboveTheLengthLimitClampsAtTheFifthDigitAndMovesTheSpin()
    {
        Open open({20, 32});
        open.retype(open.length, "1234");
        QCOMPARE(open.length->text(), "1234");
        QTest::keyClick(open.length, Qt::Key_5);
        QCOMPARE(open.length->text(), "10000");
        // The spin now stands at the limit: one click down gives 9999.
        open.click("spin1001", "down");
        QCOMPARE(open.length->text(), "9999");
        QCOMPARE(open.dialog.values().trackLength, 9999);
    }

    void typingZeroOrDeletingGivesTheLowerLimit()
    {
        Open open({20, 32});
        open.retype(open.scale, "0");
        QCOMPARE(open.scale->text(), "1");
        open.click("spin1003", "up");
        QCOMPARE(open.scale->text(), "2");

        open.length->selectAll();
        QTest::keyClick(open.length, Qt::Key_Delete);
        QCOMPARE(open.length->text(), "1");
    }

    void lettersAreNotAccepted()
    {
        Open open({20, 32});
        open.retype(open.length, "4x2-");
        QCOMPARE(open.length->text(), "42");
    }

    void spinClicksBeyondALimitStayAtTheLimit()
    {
        Open open({10000, 1});
        open.click("spin1003", "down");
        QCOMPARE(open.scale->text(), "1");
        open.click("spin1001", "up");
        QCOMPARE(open.length->text(), "10000");
        // Neither spin went past its limit.
        open.click("spin1003", "up");
        QCOMPARE(open.scale->text(), "2");
        open.click("spin1001", "down");
        QCOMPARE(open.length->text(), "9999");
    }

    void typedValueInRangeDoesNotMoveTheSpin()
    {
        Open open({20, 32});
        open.retype(open.length, "50");
        QCOMPARE(open.length->text(), "50");
        open.click("spin1001", "up");
        QCOMPARE(open.length->text(), "21");
        QCOMPARE(open.scale->text(), "32");
    }
};

QTEST_MAIN(TrackDialogTest)
#include "trackdialog_test.moc"
