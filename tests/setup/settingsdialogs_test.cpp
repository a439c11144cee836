#include "setup/settingsdialogs.h"

#include "setup/aboutdialog.h"
#include "setup/autocountingdialog.h"
#include "setup/commdialog.h"
#include "setup/dialogtesting.h"
#include "setup/displaydialog.h"
#include "setup/incompletesettingsdialog.h"
#include "setup/lapsdialog.h"
#include "setup/racersdialog.h"
#include "setup/trackdialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(SettingGroup)

namespace {

// Settings that every dialog has something to correct in, with marks that
// must come back as they went in.
RaceSettings oddSettings()
{
    RaceSettings settings;
    applyFactorySettings(settings);
    settings.trackLength = "";
    settings.scale = "";
    settings.displayOrder = "";
    settings.racerArrangement = "7";
    settings.colourScheme = "2";
    settings.autoOffTrackCounting = "1";
    settings.racerName = {"Anna", "", "Petr", "", "", "", "", ""};
    settings.racerLogo[1] = "C:\\loga\\bara.bmp";
    settings.lapsPerRide = "250";
    settings.commPort = "com3";
    settings.baudRate = "";
    settings.markGroup(SettingGroup::Racers, false);
    return settings;
}

void compareSettings(const RaceSettings &actual, const RaceSettings &expected)
{
    for (int index = 0; index < kSettingCount; ++index)
        QVERIFY2(actual.at(index) == expected.at(index),
                 qPrintable(QStringLiteral("%1 is \"%2\", expected \"%3\"")
                                .arg(QString::fromUtf8(settingKey(index)), QString::fromStdString(actual.at(index)),
                                     QString::fromStdString(expected.at(index)))));
    for (SettingGroup group : kSettingGroups)
        QCOMPARE(actual.isGroupDone(group), expected.isGroupDone(group));
}

void clickOk(QDialog *dialog)
{
    control<QPushButton>(dialog, "ok")->click();
}

} // namespace

class SettingsDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void okWritesBackTheGroupsFieldsAndNothingElse_data()
    {
        QTest::addColumn<SettingGroup>("group");
        QTest::addColumn<std::function<void(RaceSettings &)>>("change");
        QTest::newRow("track") << SettingGroup::Track << std::function<void(RaceSettings &)>([](RaceSettings &s) {
            s.trackLength = "20";
            s.scale = "32";
        });
        QTest::newRow("display") << SettingGroup::Display
                                 << std::function<void(RaceSettings &)>([](RaceSettings &s) {
                                        s.displayOrder = "0";
                                        s.racerArrangement = "-1";
                                    });
        QTest::newRow("automatic counting") << SettingGroup::AutoCounting
                                            << std::function<void(RaceSettings &)>([](RaceSettings &) {});
        QTest::newRow("racers") << SettingGroup::Racers << std::function<void(RaceSettings &)>([](RaceSettings &) {});
        QTest::newRow("laps") << SettingGroup::Laps
                              << std::function<void(RaceSettings &)>([](RaceSettings &s) { s.lapsPerRide = "100"; });
        QTest::newRow("communication") << SettingGroup::Communication
                                       << std::function<void(RaceSettings &)>([](RaceSettings &s) {
                                              s.commPort = "COM3";
                                              s.baudRate = "CBR_9600";
                                          });
    }
    void okWritesBackTheGroupsFieldsAndNothingElse()
    {
        QFETCH(SettingGroup, group);
        QFETCH(std::function<void(RaceSettings &)>, change);
        const RaceSettings stored = oddSettings();
        RaceSettings expected = stored;
        change(expected);

        whenModalOpens<QDialog>(clickOk);
        const std::optional<RaceSettings> edited = execSettingsDialog(nullptr, group, stored, OkButtonRole::Ok);
        QVERIFY(edited);
        compareSettings(*edited, expected);
    }

    void escapeOrCloseBoxWritesNothingBack_data()
    {
        QTest::addColumn<SettingGroup>("group");
        QTest::addColumn<bool>("escape");
        for (SettingGroup group : kSettingGroups) {
            const int id = static_cast<int>(group);
            QTest::addRow("%d Esc", id) << group << true;
            QTest::addRow("%d close box", id) << group << false;
        }
    }
    void escapeOrCloseBoxWritesNothingBack()
    {
        QFETCH(SettingGroup, group);
        QFETCH(bool, escape);
        whenModalOpens<QDialog>([escape](QDialog *dialog) {
            if (escape)
                QTest::keyClick(dialog, Qt::Key_Escape);
            else
                dialog->close();
        });
        QVERIFY(!execSettingsDialog(nullptr, group, oddSettings(), OkButtonRole::Ok));
    }

    void escapeAfterEditingWritesNothingBack()
    {
        whenModalOpens<TrackDialog>([](TrackDialog *dialog) {
            auto *length = control<QLineEdit>(dialog, "edit1000");
            length->selectAll();
            QTest::keyClicks(length, "75");
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        QVERIFY(!execSettingsDialog(nullptr, SettingGroup::Track, oddSettings(), OkButtonRole::Ok));

        // Unticking row 2 empties the names below it at once; Esc drops that.
        RaceSettings settings = oddSettings();
        settings.racerName = {"Anna", "Bára", "Cyril", "", "", "", "", ""};
        QString thirdNameBeforeEscape;
        whenModalOpens<RacersDialog>([&](RacersDialog *dialog) {
            QTest::mouseClick(control<QCheckBox>(dialog, "check2001"), Qt::LeftButton);
            thirdNameBeforeEscape = control<QLineEdit>(dialog, "edit2010")->text();
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        QVERIFY(!execSettingsDialog(nullptr, SettingGroup::Racers, settings, OkButtonRole::Ok));
        QCOMPARE(thirdNameBeforeEscape, "");
    }

    void okButtonReadsItsWizardRole_data()
    {
        QTest::addColumn<OkButtonRole>("role");
        QTest::addColumn<QString>("text");
        QTest::newRow("alone") << OkButtonRole::Ok << "OK";
        QTest::newRow("wizard step") << OkButtonRole::Next << "Další ...";
        QTest::newRow("wizard end") << OkButtonRole::Finish << "Dokončit";
    }
    void okButtonReadsItsWizardRole()
    {
        QFETCH(OkButtonRole, role);
        QFETCH(QString, text);
        for (SettingGroup group : kSettingGroups) {
            QString shown;
            whenModalOpens<QDialog>([&shown](QDialog *dialog) {
                shown = control<QPushButton>(dialog, "ok")->text();
                clickOk(dialog);
            });
            QVERIFY(execSettingsDialog(nullptr, group, oddSettings(), role));
            QCOMPARE(shown, text);
        }
    }

    void everyControlLiesInsideItsDialogWithItsTextUncut_data()
    {
        QTest::addColumn<int>("pointSize");
        QTest::newRow("system size") << QApplication::font().pointSize();
        QTest::newRow("large print") << 16;
    }
    void everyControlLiesInsideItsDialogWithItsTextUncut()
    {
        QFETCH(int, pointSize);
        const QFont systemFont = QApplication::font();
        QFont font = systemFont;
        font.setPointSize(pointSize);
        QApplication::setFont(font);
        std::vector<std::unique_ptr<QDialog>> dialogs;
        dialogs.push_back(std::make_unique<TrackDialog>(OkButtonRole::Ok));
        dialogs.push_back(std::make_unique<DisplayDialog>(OkButtonRole::Ok));
        dialogs.push_back(std::make_unique<AutoCountingDialog>(OkButtonRole::Ok));
        dialogs.push_back(std::make_unique<RacersDialog>(OkButtonRole::Ok));
        dialogs.push_back(std::make_unique<LapsDialog>(OkButtonRole::Ok));
        dialogs.push_back(std::make_unique<CommDialog>(OkButtonRole::Ok));
        dialogs.push_back(std::make_unique<IncompleteSettingsDialog>(true));
        dialogs.push_back(std::make_unique<AboutDialog>());
        QApplication::setFont(systemFont);

        for (const auto &dialog : dialogs) {
            const QRect inside = dialog->rect();
            for (QWidget *child : dialog->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
                const QString where = dialog->windowTitle() + ": " + child->objectName() + " " +
                                      child->property("text").toString();
                QVERIFY2(inside.contains(child->geometry()), qPrintable(where));
                const bool staticText = qobject_cast<QLabel *>(child) || qobject_cast<QCheckBox *>(child) ||
                                        qobject_cast<QRadioButton *>(child);
                if (staticText)
                    QVERIFY2(child->width() >= child->sizeHint().width(), qPrintable(where));
            }
        }
    }
};

QTEST_MAIN(SettingsDialogsTest)
#include "settingsdialogs_test.moc"
