#include "setup/autocountingdialog.h"

#include "setup/dialogtesting.h"

#include <QCheckBox>
#include <QtTest>

class AutoCountingDialogTest : public QObject {
    Q_OBJECT

private slots:
    void storedStateOpensInTheBoxAndClicksToggleIt_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<bool>("ticked");
        QTest::newRow("off") << 0 << false;
        QTest::newRow("on") << 1 << true;
        // Any value but 0 switches the counting on in a race, so it shows as on.
        QTest::newRow("other number counts as on") << 2 << true;
    }
    void storedStateOpensInTheBoxAndClicksToggleIt()
    {
        QFETCH(int, stored);
        QFETCH(bool, ticked);
        AutoCountingDialog dialog(OkButtonRole::Ok);
        dialog.setValues({stored});
        dialog.show();
        auto *box = control<QCheckBox>(&dialog, "check2000");
        QCOMPARE(box->isChecked(), ticked);
        QCOMPARE(dialog.values().autoOffTrackCounting, ticked ? 1 : 0);
        QTest::mouseClick(box, Qt::LeftButton);
        QCOMPARE(dialog.values().autoOffTrackCounting, ticked ? 0 : 1);
    }
};

QTEST_MAIN(AutoCountingDialogTest)
#include "autocountingdialog_test.moc"
