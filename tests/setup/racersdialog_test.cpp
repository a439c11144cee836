// The racers dialog: rows opening and closing with names and ticks, logos
// stored or chosen, the name check on OK, and logo files that are no
// pictures, too large, a folder, missing or a named pipe.
#include "setup/racersdialog.h"

#include "setup/dialogtesting.h"
#include "support/badinput_files.h"

#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <algorithm>

namespace {

using Status = RacersDialog::LogoStatus;
const QString kUnreadable = QStringLiteral("v souboru došlo k chybě");

// A racers dialog whose file chooser answers from a script.
class ScriptedRacersDialog : public RacersDialog {
public:
    ScriptedRacersDialog() : RacersDialog(OkButtonRole::Ok) {}
    QString nextChoice;

protected:
    QString chooseLogoFile() override { return nextChoice; }
};

// What the user sees of each row: A active (ticked and open), T tickable,
// D disabled, ? a state no user action leads to.
QString rowStates(const RacersDialog &dialog)
{
    QString states;
    for (int row = 0; row < kRacerCount; ++row) {
        auto *tick = control<QCheckBox>(&dialog, QStringLiteral("check%1").arg(2000 + row));
        const bool open = tick->isChecked();
        const bool consistent =
            control<QLineEdit>(&dialog, QStringLiteral("edit%1").arg(2008 + row))->isEnabled() == open &&
            control<QPushButton>(&dialog, QStringLiteral("button%1").arg(2024 + row))->isEnabled() == open &&
            control<QLabel>(&dialog, QStringLiteral("label%1").arg(2032 + row))->isEnabled() == open;
        if (!consistent || (open && !tick->isEnabled()))
            states += '?';
        else
            states += open ? 'A' : tick->isEnabled() ? 'T' : 'D';
    }
    return states;
}

QString labelText(const RacersDialog &dialog, int row)
{
    return control<QLabel>(&dialog, QStringLiteral("label%1").arg(2032 + row))->text();
}

QString nameText(const RacersDialog &dialog, int row)
{
    return control<QLineEdit>(&dialog, QStringLiteral("edit%1").arg(2008 + row))->text();
}

void clickTick(RacersDialog &dialog, int row)
{
    QTest::mouseClick(control<QCheckBox>(&dialog, QStringLiteral("check%1").arg(2000 + row)), Qt::LeftButton);
}

RacersDialog::Values namesOnly(const QStringList &names)
{
    RacersDialog::Values values;
    for (int row = 0; row < names.size(); ++row)
        values.racerName[row] = names[row].toStdString();
    return values;
}

// Logo files, good and bad, in a folder of their own.
struct LogoFolder {
    QTemporaryDir dir;

    std::string path(const QString &name) const { return dir.filePath(name).toStdString(); }
    bool bitmap(const QString &name, int width, int height, const char *format = "BMP") const
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        return image.save(dir.filePath(name), format);
    }
    bool write() const
    {
        return dir.isValid() && bitmap("dobre.bmp", 40, 30) && bitmap("png.bmp", 40, 30, "PNG") && bitmap("logo150x100.bmp", 150, 100) &&
               bitmap("logo151x100.bmp", 151, 100) && bitmap("logo150x101.bmp", 150, 101) &&
               badinput::writeFile(dir.filePath("text.bmp"), "Tohle není obrázek.\r\n") &&
               badinput::writeFile(dir.filePath("broken.bmp"), "BM this is not a bitmap") &&
               badinput::writeBitmapDeclaring(dir.filePath("velky.bmp"), 16000, 16000) &&
               badinput::writeBitmapDeclaring(dir.filePath("obri.bmp"), 100000, 100000) &&
               QDir(dir.path()).mkdir("slozka.bmp") && badinput::writeTruncatedBitmap(dir.filePath("pulka.bmp"));
    }
};

} // namespace

class RacersDialogTest : public QObject {
    Q_OBJECT

private:
    LogoFolder logos_;

private slots:
    void initTestCase() { QVERIFY(logos_.write()); }

    void storedNamesOpenTheirRowsAndTheNextOneTickable_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("states");
        QTest::newRow("gap in the names stays tickable") << QStringList{"Anna", "", "Petr"} << "ATATDDDD";
        // Three racers named "default" are a placeholder team: their logos are not looked at.
        QTest::newRow("placeholder team") << QStringList{"default", "default", "default"} << "AAATDDDD";
    }
    void storedNamesOpenTheirRowsAndTheNextOneTickable()
    {
        QFETCH(QStringList, names);
        QFETCH(QString, states);
        RacersDialog::Values stored = namesOnly(names);
        stored.logoPath[0] = logos_.path("dobre.bmp");
        RacersDialog dialog(OkButtonRole::Ok);
        dialog.setValues(stored);
        QCOMPARE(rowStates(dialog), states);
        QCOMPARE(labelText(dialog, 0), names[0] == "default" ? "logo nenalezeno" : "dobre.bmp");
        QCOMPARE(dialog.logoStatus(0), names[0] == "default" ? Status::None : Status::Loaded);
        QVERIFY(dialog.values().racerName == stored.racerName);
        QVERIFY(dialog.values().logoPath == stored.logoPath);
    }

    void untickingARowClosesItAndEveryRowBelowAndEmptiesTheirNames()
    {
        RacersDialog dialog(OkButtonRole::Ok);
        dialog.setValues(namesOnly({"Anna", "Bára", "Cyril", "Dan"}));
        dialog.show();
        clickTick(dialog, 1);
        QCOMPARE(rowStates(dialog), "ATDDDDDD");
        QCOMPARE(nameText(dialog, 0), "Anna");
        for (int row = 1; row < kRacerCount; ++row)
            QCOMPARE(nameText(dialog, row), "");

        // Ticking again opens the row with an empty name, and the next one.
        clickTick(dialog, 1);
        QCOMPARE(rowStates(dialog), "AATDDDDD");
        QCOMPARE(nameText(dialog, 1), "");
    }

    void chosenLogoIsTakenAndACancelledChoiceChangesNothing()
    {
        ScriptedRacersDialog dialog;
        dialog.setValues(namesOnly({"Anna"}));
        dialog.show();
        auto *choose = control<QPushButton>(&dialog, "button2024");

        const std::string fits = logos_.path("logo150x100.bmp");
        dialog.nextChoice = QString::fromStdString(fits);
        choose->click();
        QCOMPARE(labelText(dialog, 0), "logo150x100.bmp");
        QCOMPARE(dialog.logoStatus(0), Status::Loaded);
        QCOMPARE(dialog.values().logoPath[0], fits);

        dialog.nextChoice.clear(); // the file dialog cancelled
        choose->click();
        QCOMPARE(labelText(dialog, 0), "logo150x100.bmp");
        QCOMPARE(dialog.values().logoPath[0], fits);
    }

    void unreadableLogoReportsAnErrorInItsRowAndKeepsTheOldOne()
    {
        ScriptedRacersDialog dialog;
        RacersDialog::Values stored = namesOnly({"Anna", "Bára"});
        stored.logoPath[1] = logos_.path("dobre.bmp");
        dialog.setValues(stored);
        dialog.nextChoice = QString::fromStdString(logos_.path("broken.bmp"));
        control<QPushButton>(&dialog, "button2025")->click();
        QCOMPARE(labelText(dialog, 1), kUnreadable);
        QCOMPARE(dialog.logoStatus(1), Status::Loaded);
        QCOMPARE(dialog.values().logoPath[1], stored.logoPath[1]);
    }

    void clickingTheIconRemovesTheLogoAlsoInAnUntickedRow()
    {
        RacersDialog dialog(OkButtonRole::Ok);
        RacersDialog::Values stored = namesOnly({"Anna"});
        stored.logoPath[0] = logos_.path("dobre.bmp");
        stored.logoPath[3] = "C:\\loga\\nepouzito.bmp";
        dialog.setValues(stored);
        QCOMPARE(labelText(dialog, 3), "logo nenalezeno"); // rows without a name load no logo

        control<QToolButton>(&dialog, "icon2019")->click();
        QCOMPARE(dialog.values().logoPath[3], "");
        QCOMPARE(labelText(dialog, 3), "logo bylo odstraněno");
        control<QToolButton>(&dialog, "icon2016")->click();
        QCOMPARE(dialog.values().logoPath[0], "");
        QCOMPARE(dialog.logoStatus(0), Status::None);
    }

    void tickedRowWithoutNameBlocksOk()
    {
        RacersDialog dialog(OkButtonRole::Ok);
        dialog.setValues(namesOnly({"Anna", "Bára"}));
        dialog.show();
        clickTick(dialog, 2); // row 3 ticked, its name left empty
        QString shown;
        whenModalOpens<QMessageBox>([&shown](QMessageBox *box) {
            shown = box->windowTitle() + " | " + box->text() + " | " + QString::number(box->icon());
            box->button(QMessageBox::Ok)->click();
        });
        control<QPushButton>(&dialog, "ok")->click();
        QCOMPARE(shown,
                 QStringLiteral("Chyba | Jméno závodníka nesmí být prázdné! | %1").arg(QMessageBox::Critical));
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));

        // A name of blanks is a name.
        QTest::keyClicks(control<QLineEdit>(&dialog, "edit2010"), "   ");
        control<QPushButton>(&dialog, "ok")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.values().racerName[2], "   ");
    }

    // What the settings file cannot hold is refused where it enters, with a
    // message naming it: a later save would fail on it with no hint why.
    void namesRefuseCharactersTheSettingsFileCannotHold()
    {
        RacersDialog dialog(OkButtonRole::Ok);
        dialog.setValues(namesOnly({"Anna"}));
        dialog.show();
        auto *name = control<QLineEdit>(&dialog, "edit2008");
        name->clear();
        QString shown;
        whenModalOpens<QMessageBox>([&shown](QMessageBox *box) {
            shown = box->text();
            box->button(QMessageBox::Ok)->click();
        });
        // Typed one character at a time, as a keyboard delivers them.
        for (const QChar character : QStringLiteral("Řehoř ☃ Žák €"))
            QTest::sendKeyEvent(QTest::Click, name, Qt::Key_unknown, QString(character), Qt::NoModifier);
        QTRY_COMPARE(shown, QStringLiteral("„Řehoř ☃“ nelze uložit do souboru nastavení: obsahuje znak, který "
                                           "kódování Windows-1250 nemá."));
        QCOMPARE(name->text(), QStringLiteral("Řehoř  Žák €"));
    }

    // A byte Windows-1250 leaves undefined reads as U+FFFD from a settings
    // file; the name can never be saved again, which the user learns at once.
    void storedNameTheSettingsFileCannotHoldIsReportedWhenTheDialogOpens()
    {
        RacersDialog dialog(OkButtonRole::Ok);
        QString shown;
        whenModalOpens<QMessageBox>([&shown](QMessageBox *box) {
            shown = box->text();
            box->button(QMessageBox::Ok)->click();
        });
        dialog.setValues(namesOnly({"Anna", QStringLiteral("Jan\uFFFD")}));
        QTRY_COMPARE(shown, QStringLiteral("„Jan\uFFFD“ nelze uložit do souboru nastavení: obsahuje znak, který "
                                           "kódování Windows-1250 nemá."));
        QCOMPARE(nameText(dialog, 1), QStringLiteral("Jan\uFFFD"));
    }

    void chosenLogoInAFolderTheSettingsFileCannotNameIsRefusedWithAMessage()
    {
        for (const QString &folder : {QStringLiteral("Логотипы"), QStringLiteral("loga 🏁")}) {
            QVERIFY(QDir(logos_.dir.path()).mkdir(folder));
            QVERIFY(logos_.bitmap(folder + "/logo.bmp", 40, 30));
            ScriptedRacersDialog dialog;
            RacersDialog::Values stored = namesOnly({"Anna"});
            stored.logoPath[0] = logos_.path("dobre.bmp");
            dialog.setValues(stored);
            dialog.nextChoice = logos_.dir.filePath(folder + "/logo.bmp");
            QString shown;
            whenModalOpens<QMessageBox>([&shown](QMessageBox *box) {
                shown = box->windowTitle() + " | " + box->text();
                box->button(QMessageBox::Ok)->click();
            });
            control<QPushButton>(&dialog, "button2024")->click();
            QCOMPARE(shown, "Chyba | „" + dialog.nextChoice +
                                "“ nelze uložit do souboru nastavení: obsahuje znak, který kódování Windows-1250 "
                                "nemá.");
            QCOMPARE(dialog.values().logoPath[0], stored.logoPath[0]);
            QCOMPARE(labelText(dialog, 0), "dobre.bmp");
        }
    }

    // Bad logo files, stored or chosen.
    void storedBadLogosAreNamedInTheirRows_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("label");
        QTest::addColumn<Status>("status");
        QTest::newRow("at the size limit") << "logo150x100.bmp" << "logo150x100.bmp" << Status::Loaded;
        QTest::newRow("one too wide") << "logo151x100.bmp" << "velikost 151x100px" << Status::TooLarge;
        QTest::newRow("one too high") << "logo150x101.bmp" << "velikost 150x101px" << Status::TooLarge;
        QTest::newRow("no picture") << "text.bmp" << kUnreadable << Status::None;
        QTest::newRow("a PNG picture") << "png.bmp" << kUnreadable << Status::None;
        QTest::newRow("declares 16000 x 16000") << "velky.bmp" << "velikost 16000x16000px" << Status::TooLarge;
        QTest::newRow("declares more than a bitmap header takes") << "obri.bmp" << kUnreadable << Status::None;
        QTest::newRow("a folder") << "slozka.bmp" << kUnreadable << Status::None;
        QTest::newRow("missing") << "chybi.bmp" << kUnreadable << Status::None;
    }
    void storedBadLogosAreNamedInTheirRows()
    {
        QFETCH(QString, file);
        QFETCH(QString, label);
        QFETCH(Status, status);
        RacersDialog::Values stored = namesOnly({"Anna"});
        stored.logoPath[0] = logos_.path(file);
        RacersDialog dialog(OkButtonRole::Ok);
        dialog.setValues(stored);
        QCOMPARE(labelText(dialog, 0), label);
        QCOMPARE(dialog.logoStatus(0), status);
        // Loading a stored logo never changes its path, refused or not.
        QCOMPARE(dialog.values().logoPath[0], stored.logoPath[0]);
    }

    // Opening a pipe to read its picture used to wait until another program
    // wrote to it, holding the dialog all that time.
    void chosenNamedPipeIsRefusedAndTheOldLogoStays()
    {
        badinput::UnattendedPipe pipe(logos_.dir.filePath("roura.bmp"));
        QVERIFY(pipe.created());
        ScriptedRacersDialog dialog;
        RacersDialog::Values stored = namesOnly({"Anna"});
        stored.logoPath[0] = logos_.path("dobre.bmp");
        dialog.setValues(stored);

        dialog.nextChoice = logos_.dir.filePath("roura.bmp");
        control<QPushButton>(&dialog, "button2024")->click();
        QVERIFY2(!pipe.wasWaitedOn(), "the pipe held the dialog");
        QCOMPARE(labelText(dialog, 0), kUnreadable);
        QCOMPARE(dialog.logoStatus(0), Status::Loaded);
        QCOMPARE(dialog.values().logoPath[0], stored.logoPath[0]);
    }

    // Qt's bitmap reader keeps the rows it could read, so the file passes.
    void bitmapCutShortIsTakenAsFarAsItGoes()
    {
        ScriptedRacersDialog dialog;
        dialog.setValues(namesOnly({"Anna"}));
        dialog.nextChoice = logos_.dir.filePath("pulka.bmp");
        control<QPushButton>(&dialog, "button2024")->click();
        QCOMPARE(labelText(dialog, 0), QStringLiteral("pulka.bmp"));
        QCOMPARE(dialog.values().logoPath[0], dialog.nextChoice.toStdString());
    }
};

QTEST_MAIN(RacersDialogTest)
#include "racersdialog_test.moc"
