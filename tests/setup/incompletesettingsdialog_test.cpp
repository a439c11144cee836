#include "setup/incompletesettingsdialog.h"
#include "setup/settingsdialogs.h"

#include "setup/dialogtesting.h"

#include <QPushButton>
#include <QtTest>

Q_DECLARE_METATYPE(IncompleteSettingsChoice)

class IncompleteSettingsDialogTest : public QObject {
    Q_OBJECT

private slots:
    void eachButtonGivesItsChoice_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<IncompleteSettingsChoice>("choice");
        QTest::newRow("wizard") << "button2025" << IncompleteSettingsChoice::Wizard;
        QTest::newRow("load") << "button2024" << IncompleteSettingsChoice::LoadFile;
        QTest::newRow("cancel") << "button2026" << IncompleteSettingsChoice::Cancel;
    }
    void eachButtonGivesItsChoice()
    {
        QFETCH(QString, button);
        QFETCH(IncompleteSettingsChoice, choice);
        whenModalOpens<IncompleteSettingsDialog>(
            [&](IncompleteSettingsDialog *dialog) { control<QPushButton>(dialog, button)->click(); });
        QCOMPARE(execIncompleteSettingsDialog(nullptr, true), choice);
    }

    // Closing without a choice used to start the load, whose number the
    // window system's cancel result shares.
    void escapeOrCloseBoxCancelsInsteadOfLoading_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Esc") << true;
        QTest::newRow("close box") << false;
    }
    void escapeOrCloseBoxCancelsInsteadOfLoading()
    {
        QFETCH(bool, escape);
        whenModalOpens<IncompleteSettingsDialog>([escape](IncompleteSettingsDialog *dialog) {
            if (escape)
                QTest::keyClick(dialog, Qt::Key_Escape);
            else
                dialog->close();
        });
        QCOMPARE(execIncompleteSettingsDialog(nullptr, true), IncompleteSettingsChoice::Cancel);
    }

    void loadChoiceCanBeGreyed()
    {
        bool loadEnabled = true;
        whenModalOpens<IncompleteSettingsDialog>([&](IncompleteSettingsDialog *dialog) {
            auto *load = control<QPushButton>(dialog, "button2024");
            loadEnabled = load->isEnabled();
            load->click();
            control<QPushButton>(dialog, "button2026")->click();
        });
        QCOMPARE(execIncompleteSettingsDialog(nullptr, false), IncompleteSettingsChoice::Cancel);
        QVERIFY(!loadEnabled);
    }

    void tabGoesFromLoadToWizardToCancelAndNoButtonIsDefault()
    {
        IncompleteSettingsDialog dialog(true);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        const QStringList order = {"button2024", "button2025", "button2026", "button2024"};
        for (const QString &name : order) {
            QCOMPARE(dialog.focusWidget()->objectName(), name);
            QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
        }
        for (QPushButton *button : dialog.findChildren<QPushButton *>())
            QVERIFY2(!button->isDefault() || button->hasFocus(), qPrintable(button->objectName()));
    }
};

QTEST_MAIN(IncompleteSettingsDialogTest)
#include "incompletesettingsdialog_test.moc"
