// The settings dialogs through the entry point the main window uses (stored
// texts in, edited texts out), each dialog's own controls, the
// incomplete-settings dialog and the layout of every dialog.
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
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QToolButton>
#include <QtTest>

Q_DECLARE_METATYPE(SettingGroup)
Q_DECLARE_METATYPE(IncompleteSettingsChoice)

namespace {

// Factory settings with a text in every group that its own dialog would
// rewrite, so a dialog that writes back another group's fields shows up.
RaceSettings oddSettings()
{
    RaceSettings settings;
    applyFactorySettings(settings);
    settings.trackLength = "";
    settings.scale = "";
    settings.displayOrder = "";
    settings.racerArrangement = "7";
    settings.colourScheme = "2";
    settings.autoOffTrackCounting = "2";
    settings.racerName = {"Anna", "", "Petr", "", "", "", "", ""};
    settings.racerLogo[1] = "C:\\loga\\bara.bmp";
    settings.lapsPerRide = "250";
    settings.commPort = "com3";
    settings.baudRate = "";
    settings.markGroup(SettingGroup::Racers, false);
    return settings;
}

// \a settings with "Key=value" texts set, keys as the settings file names them.
RaceSettings with(RaceSettings settings, const QStringList &assignments)
{
    for (const QString &assignment : assignments) {
        const std::string key = assignment.section('=', 0, 0).toStdString();
        int index = 0;
        while (index < kSettingCount && settingKey(index) != key)
            ++index;
        if (index == kSettingCount)
            qFatal("no setting named %s", key.c_str());
        settings.at(index) = assignment.section('=', 1).toStdString();
    }
    return settings;
}

QStringList comm(const char *port, const char *baudRate, const char *dataBits, const char *stopBits,
                 const char *parity)
{
    return {QStringLiteral("KomunikacniPort=") + port, QStringLiteral("RychlostPrenosu=") + baudRate,
            QStringLiteral("PocetBitu=") + dataBits, QStringLiteral("StopBity=") + stopBits,
            QStringLiteral("Parita=") + parity};
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

void endWithoutChoice(QDialog *dialog, bool escape)
{
    if (escape)
        QTest::keyClick(dialog, Qt::Key_Escape);
    else
        dialog->close();
}

QList<int> checkedRadios(const DisplayDialog &dialog)
{
    QList<int> ids;
    for (int id : {1004, 1005, 1013, 1014, 1015, 1016, 1018})
        if (control<QRadioButton>(&dialog, QStringLiteral("radio%1").arg(id))->isChecked())
            ids << id;
    return ids;
}

QStringList items(const QComboBox *combo)
{
    QStringList texts;
    for (int item = 0; item < combo->count(); ++item)
        texts << combo->itemText(item);
    return texts;
}

// An open track dialog with its two edits and spin arrows.
struct OpenTrackDialog {
    TrackDialog dialog{OkButtonRole::Ok};
    QLineEdit *length = control<QLineEdit>(&dialog, "edit1000");
    QLineEdit *scale = control<QLineEdit>(&dialog, "edit1002");

    explicit OpenTrackDialog(TrackDialog::Values values)
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

} // namespace

class SettingsDialogsTest : public QObject {
    Q_OBJECT

private slots:
    // What a dialog shows is what OK gives back, so the returned texts show
    // how each dialog opened the stored ones.
    void storedTextsOpenCorrectedAndOkWritesBackOnlyTheGroupsFields_data()
    {
        QTest::addColumn<SettingGroup>("group");
        QTest::addColumn<OkButtonRole>("role");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QStringList>("confirmed"); // the texts OK changes
        // The OK button's role goes round, so every dialog shows more than one.
        int rows = 0;
        const auto row = [&rows](const char *name, SettingGroup group, const QString &caption,
                                 const QStringList &stored, const QStringList &confirmed) {
            const OkButtonRole roles[] = {OkButtonRole::Ok, OkButtonRole::Next, OkButtonRole::Finish};
            QTest::newRow(name) << group << roles[rows++ % 3] << caption << stored << confirmed;
        };
        const auto track = [&row](const char *name, const char *length, const char *scale,
                                  const QStringList &confirmed) {
            row(name, SettingGroup::Track, "Délka a měřítko dráhy",
                {QStringLiteral("DelkaDrahy=") + length, QStringLiteral("Meritko=") + scale}, confirmed);
        };
        track("track: both unset take the defaults", "", "", {"DelkaDrahy=20", "Meritko=32"});
        track("track: in range, written back as decimal", "25m", "043", {"DelkaDrahy=25", "Meritko=43"});
        track("track: length unset alone is clamped, not defaulted", "0", "32", {"DelkaDrahy=1"});
        track("track: scale above range", "20", "150", {"Meritko=100"});

        const QString display = QStringLiteral("Přepnutí zobrazení");
        row("display: empty texts take the first choices", SettingGroup::Display, display,
            {"ZobrazeniZavodniku=", "UsporadaniZavodniku=", "BarevneSchema="},
            {"ZobrazeniZavodniku=0", "UsporadaniZavodniku=0", "BarevneSchema=0"});
        row("display: values outside their groups stay unchosen", SettingGroup::Display, display,
            {"ZobrazeniZavodniku=2", "UsporadaniZavodniku=7", "BarevneSchema=3"},
            {"ZobrazeniZavodniku=-1", "UsporadaniZavodniku=-1", "BarevneSchema=-1"});
        row("display: last choices", SettingGroup::Display, display,
            {"ZobrazeniZavodniku=1", "UsporadaniZavodniku=4", "BarevneSchema=2"}, {});

        const QString counting = QStringLiteral("Funkce automatického počítání");
        row("automatic counting: off", SettingGroup::AutoCounting, counting, {"AutomatickePocitaniVyjetiZDrahy=0"},
            {});
        // Any value but 0 switches the counting on in a race, so it shows as on.
        row("automatic counting: any other number is on", SettingGroup::AutoCounting, counting,
            {"AutomatickePocitaniVyjetiZDrahy=2"}, {"AutomatickePocitaniVyjetiZDrahy=1"});

        row("racers: names and logos, also of unnamed rows, stay", SettingGroup::Racers, "Nastavení závodníků", {},
            {});

        const auto laps = [&row](const char *name, const char *stored, int shown) {
            row(name, SettingGroup::Laps, QStringLiteral("Počet okruhů jedné jízdy [%1]").arg(shown),
                {QStringLiteral("PocetKol=") + stored}, {QStringLiteral("PocetKol=%1").arg(shown)});
        };
        laps("laps: unset takes the default", "", 12);
        laps("laps: in range", "30", 30);
        laps("laps: above range", "250", 100);
        // The caption used to keep the unclamped 0 while the slider stood at 1.
        laps("laps: negative caption follows the clamped slider", "-5", 1);

        const QString channel = QStringLiteral("Nastavení komunikačního kanálu");
        row("communication: empty texts take each list's default", SettingGroup::Communication, channel,
            comm("", "", "", "", ""), comm("COM1", "CBR_9600", "8", "ONESTOPBIT", "NOPARITY"));
        row("communication: lower case matches the item's spelling", SettingGroup::Communication, channel,
            comm("com3", "cbr_14400", "7", "twostopbits", "oddparity"),
            comm("COM3", "CBR_14400", "7", "TWOSTOPBITS", "ODDPARITY"));
        row("communication: texts matching no item open empty", SettingGroup::Communication, channel,
            comm("COM40", "CBR_1", "9", "HALFSTOPBIT", "SPACEPARITY"), comm("", "", "", "", ""));
        // An unplugged adapter's path used to open empty, and OK erased it.
        row("communication: a device path that is not plugged in is kept", SettingGroup::Communication, channel,
            comm("/dev/ttyUSB7", "CBR_57600", "8", "ONESTOPBIT", "NOPARITY"),
            comm("/dev/ttyUSB7", "CBR_57600", "8", "ONESTOPBIT", "NOPARITY"));
    }
    void storedTextsOpenCorrectedAndOkWritesBackOnlyTheGroupsFields()
    {
        QFETCH(SettingGroup, group);
        QFETCH(OkButtonRole, role);
        QFETCH(QString, caption);
        QFETCH(QStringList, stored);
        QFETCH(QStringList, confirmed);
        const RaceSettings settings = with(oddSettings(), stored);
        QString shownCaption, okText;
        whenModalOpens<QDialog>([&](QDialog *dialog) {
            shownCaption = dialog->windowTitle();
            okText = control<QPushButton>(dialog, "ok")->text();
            control<QPushButton>(dialog, "ok")->click();
        });
        const std::optional<RaceSettings> edited = execSettingsDialog(nullptr, group, settings, role);
        QVERIFY(edited);
        QCOMPARE(shownCaption, caption);
        const QString okTexts[] = {"OK", "Další ...", "Dokončit"};
        QCOMPARE(okText, okTexts[static_cast<int>(role)]);
        compareSettings(*edited, with(settings, confirmed));
    }

    void escapeOrCloseBoxWritesNothingBack()
    {
        for (SettingGroup group : kSettingGroups) {
            for (bool escape : {true, false}) {
                whenModalOpens<QDialog>([escape](QDialog *dialog) { endWithoutChoice(dialog, escape); });
                QVERIFY2(!execSettingsDialog(nullptr, group, oddSettings(), OkButtonRole::Ok),
                         qPrintable(QStringLiteral("group %1, %2").arg(int(group)).arg(escape ? "Esc" : "close box")));
            }
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
        // Restored after the checks, so that no font change reaches the dialogs while they are measured.
        const auto restore = qScopeGuard([systemFont] { QApplication::setFont(systemFont); });
        QWidget owner;
        const QDialog *dialogs[] = {
            new TrackDialog(OkButtonRole::Ok, &owner),        new DisplayDialog(OkButtonRole::Ok, &owner),
            new AutoCountingDialog(OkButtonRole::Ok, &owner), new RacersDialog(OkButtonRole::Ok, &owner),
            new LapsDialog(OkButtonRole::Ok, &owner),         new CommDialog(OkButtonRole::Ok, &owner),
            new IncompleteSettingsDialog(true, &owner),       new AboutDialog(&owner),
        };
        for (const QDialog *dialog : dialogs) {
            for (QWidget *child : dialog->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
                const QString where = dialog->windowTitle() + ": " + child->objectName() + " " +
                                      child->property("text").toString();
                QVERIFY2(dialog->rect().contains(child->geometry()), qPrintable(where));
                if (qobject_cast<QLabel *>(child) || qobject_cast<QCheckBox *>(child) ||
                    qobject_cast<QRadioButton *>(child))
                    QVERIFY2(child->width() >= child->sizeHint().width(), qPrintable(where));
            }
        }
    }

    void trackEditsAndSpinsStayWithinTheirLimits()
    {
        OpenTrackDialog open({20, 32});
        open.retype(open.length, "4x2-");
        QCOMPARE(open.length->text(), "42");
        open.retype(open.length, "1234");
        QTest::keyClick(open.length, Qt::Key_5);
        QCOMPARE(open.length->text(), "10000");
        // The spin now stands at the limit: up stays there, down gives 9999.
        open.click("spin1001", "up");
        QCOMPARE(open.length->text(), "10000");
        open.click("spin1001", "down");
        QCOMPARE(open.length->text(), "9999");
        QCOMPARE(open.dialog.values().trackLength, 9999);
        // A typed value in range leaves the spin where the click left it.
        open.retype(open.length, "50");
        open.click("spin1001", "up");
        QCOMPARE(open.length->text(), "10000");

        open.retype(open.scale, "0");
        QCOMPARE(open.scale->text(), "1");
        open.click("spin1003", "down");
        QCOMPARE(open.scale->text(), "1");
        open.click("spin1003", "up");
        QCOMPARE(open.scale->text(), "2");
        open.length->selectAll();
        QTest::keyClick(open.length, Qt::Key_Delete);
        QCOMPARE(open.length->text(), "1");
        QCOMPARE(open.scale->text(), "2");
    }

    void displayChoicesMoveAndGiveTheirPositionsCountedInTabOrder()
    {
        DisplayDialog dialog(OkButtonRole::Ok);
        dialog.setValues({1, 3, 1});
        dialog.setValues({1, 1, 2}); // reopened: the choices move instead of adding up
        QCOMPARE(checkedRadios(dialog), (QList<int>{1005, 1014}));
        dialog.show();
        QTest::mouseClick(control<QRadioButton>(&dialog, "radio1018"), Qt::LeftButton);
        auto *colours = control<QComboBox>(&dialog, "combo1017");
        QCOMPARE(items(colours), (QStringList{"modré", "červené", "zelené"}));
        colours->setCurrentIndex(1);
        QCOMPARE(checkedRadios(dialog), (QList<int>{1005, 1018}));
        QCOMPARE(dialog.values().arrangement, 4);
        QCOMPARE(dialog.values().colour, 1);
        dialog.setValues({0, -1, -1});
        QCOMPARE(checkedRadios(dialog), (QList<int>{1004}));
        // Sorting by track position can be shown as stored, but never chosen.
        QVERIFY(!control<QRadioButton>(&dialog, "radio1004")->isEnabled());
    }

    void lapsCaptionFollowsTheSlider()
    {
        LapsDialog dialog(OkButtonRole::Ok);
        dialog.setValues({30});
        dialog.show();
        QTest::keyClick(control<QSlider>(&dialog, "slider1006"), Qt::Key_End);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Počet okruhů jedné jízdy [100]"));
        QCOMPARE(dialog.values().lapsPerRide, 100);
    }

    void commListsHoldTheirItemsInOrderAndSelectDefaultsAndMatchesAsItems()
    {
        CommDialog dialog(OkButtonRole::Ok);
        dialog.setValues({"", "cbr_57600", "", "", ""});
        const struct {
            const char *combo;
            QStringList items;
            int selected;
        } lists[] = {
            {"combo1008",
             {"CBR_110", "CBR_300", "CBR_600", "CBR_1200", "CBR_2400", "CBR_4800", "CBR_9600", "CBR_19200",
              "CBR_14400", "CBR_38400", "CBR_56000", "CBR_57600", "CBR_115200", "CBR_128000", "CBR_256000"},
             11},
            {"combo1009", {"5", "6", "7", "8"}, 3},
            {"combo1010", {"ONESTOPBIT", "ONE5STOPBITS", "TWOSTOPBITS"}, 0},
            {"combo1011", {"EVENPARITY", "MARKPARITY", "NOPARITY", "ODDPARITY"}, 2},
        };
        for (const auto &list : lists) {
            auto *combo = control<QComboBox>(&dialog, list.combo);
            QCOMPARE(items(combo), list.items);
            // An item position, so a shown text cannot come from the edit field alone.
            QCOMPARE(combo->currentIndex(), list.selected);
        }
        // COM1 to COM32, then the serial devices this computer has.
        const QStringList ports = items(control<QComboBox>(&dialog, "combo1007"));
        QCOMPARE(control<QComboBox>(&dialog, "combo1007")->currentIndex(), 0);
        QVERIFY(ports.size() >= 32);
        for (int item = 0; item < ports.size(); ++item)
            QVERIFY2(item < 32 ? ports[item] == QStringLiteral("COM%1").arg(item + 1) : ports[item].startsWith('/'),
                     qPrintable(ports[item]));
    }

    void commTypedPortIsStoredAsTyped()
    {
        CommDialog dialog(OkButtonRole::Ok);
        dialog.setValues({"COM1", "CBR_57600", "8", "ONESTOPBIT", "NOPARITY"});
        dialog.show();
        auto *port = control<QComboBox>(&dialog, "combo1007");
        port->lineEdit()->selectAll();
        QTest::keyClicks(port->lineEdit(), "COM40");
        QTest::keyClick(port->lineEdit(), Qt::Key_Tab);
        QCOMPARE(dialog.values().commPort, "COM40");
        port->lineEdit()->selectAll();
        QTest::keyClicks(port->lineEdit(), "/dev/ttyUSB0");
        QCOMPARE(dialog.values().commPort, "/dev/ttyUSB0");
        // Typed text never joins the list.
        QCOMPARE(port->findText("COM40"), -1);
    }

    // Typed text the settings file cannot hold used to be taken, and every
    // later save failed with the generic open error. It is refused as typed,
    // with a message naming it, and typing goes on.
    void commTypedTextTheSettingsFileCannotHoldIsRefusedWithAMessage()
    {
        CommDialog dialog(OkButtonRole::Ok);
        dialog.setValues({"COM1", "CBR_57600", "8", "ONESTOPBIT", "NOPARITY"});
        dialog.show();
        for (const char *name : {"combo1007", "combo1011"}) {
            QLineEdit *edit = control<QComboBox>(&dialog, name)->lineEdit();
            edit->clear();
            QStringList shown;
            whenModalOpens<QMessageBox>([&shown](QMessageBox *box) {
                shown << box->windowTitle() + " | " + box->text();
                box->button(QMessageBox::Ok)->click();
            });
            for (const QChar character : QStringLiteral("COMЖ1"))
                QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(character), Qt::NoModifier);
            QTRY_COMPARE(shown, QStringList{"Chyba | „COMЖ“ nelze uložit do souboru nastavení: obsahuje znak, "
                                            "který kódování Windows-1250 nemá."});
            QCOMPARE(edit->text(), "COM1");
        }
        QCOMPARE(dialog.values().commPort, "COM1");
        QCOMPARE(dialog.values().parity, "COM1");
    }

    // Closing without a choice used to start the load, whose number the
    // window system's cancel result shares. The buttons give their own.
    void escapeOrCloseBoxCancelsInsteadOfLoading_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<bool>("loadEnabled");
        QTest::addColumn<IncompleteSettingsChoice>("choice");
        QTest::newRow("Esc") << "Esc" << true << IncompleteSettingsChoice::Cancel;
        QTest::newRow("close box") << "close box" << true << IncompleteSettingsChoice::Cancel;
        QTest::newRow("wizard button") << "button2025" << true << IncompleteSettingsChoice::Wizard;
        QTest::newRow("load button") << "button2024" << true << IncompleteSettingsChoice::LoadFile;
        QTest::newRow("cancel button") << "button2026" << true << IncompleteSettingsChoice::Cancel;
        QTest::newRow("load greyed, Esc") << "Esc" << false << IncompleteSettingsChoice::Cancel;
    }
    void escapeOrCloseBoxCancelsInsteadOfLoading()
    {
        QFETCH(QString, ending);
        QFETCH(bool, loadEnabled);
        QFETCH(IncompleteSettingsChoice, choice);
        bool loadShown = !loadEnabled;
        whenModalOpens<IncompleteSettingsDialog>([&](IncompleteSettingsDialog *dialog) {
            loadShown = control<QPushButton>(dialog, "button2024")->isEnabled();
            if (ending.startsWith("button"))
                control<QPushButton>(dialog, ending)->click();
            else
                endWithoutChoice(dialog, ending == "Esc");
        });
        QCOMPARE(execIncompleteSettingsDialog(nullptr, loadEnabled), choice);
        QCOMPARE(loadShown, loadEnabled);
    }

    void incompleteSettingsTabGoesFromLoadToWizardToCancelAndNoButtonIsDefault()
    {
        IncompleteSettingsDialog dialog(true);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        for (const char *name : {"button2024", "button2025", "button2026", "button2024"}) {
            QCOMPARE(dialog.focusWidget()->objectName(), name);
            QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
        }
        for (QPushButton *button : dialog.findChildren<QPushButton *>())
            QVERIFY2(!button->isDefault() || button->hasFocus(), qPrintable(button->objectName()));
    }
};

QTEST_MAIN(SettingsDialogsTest)
#include "settingsdialogs_test.moc"
