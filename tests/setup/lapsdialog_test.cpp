#include "setup/lapsdialog.h"

#include "setup/dialogtesting.h"

#include <QSlider>
#include <QtTest>

class LapsDialogTest : public QObject {
    Q_OBJECT

private slots:
    void storedLapsOpenOnTheSliderAndInTheCaption_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("shown");
        QTest::newRow("unset takes the default") << 0 << 12;
        QTest::newRow("in range") << 30 << 30;
        QTest::newRow("above range") << 250 << 100;
        // The caption used to keep the unclamped 0 while the slider stood at 1.
        QTest::newRow("negative caption follows the clamped slider") << -5 << 1;
    }
    void storedLapsOpenOnTheSliderAndInTheCaption()
    {
        QFETCH(int, stored);
        QFETCH(int, shown);
        LapsDialog dialog(OkButtonRole::Ok);
        dialog.setValues({stored});
        QCOMPARE(control<QSlider>(&dialog, "slider1006")->value(), shown);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Počet okruhů jedné jízdy [%1]").arg(shown));
        QCOMPARE(dialog.values().lapsPerRide, shown);
    }

    void slidingToEitherEndGivesTheLimitsInTheCaption()
    {
        LapsDialog dialog(OkButtonRole::Ok);
        dialog.setValues({30});
        dialog.show();
        auto *slider = control<QSlider>(&dialog, "slider1006");
        QTest::keyClick(slider, Qt::Key_Home);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Počet okruhů jedné jízdy [1]"));
        QCOMPARE(dialog.values().lapsPerRide, 1);
        QTest::keyClick(slider, Qt::Key_End);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Počet okruhů jedné jízdy [100]"));
        QCOMPARE(dialog.values().lapsPerRide, 100);
        QTest::keyClick(slider, Qt::Key_Left);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Počet okruhů jedné jízdy [99]"));
    }
};

QTEST_MAIN(LapsDialogTest)
#include "lapsdialog_test.moc"
