// Logo files the racers dialog must cope with, stored in the settings or
// chosen by the user: no picture at all, headers declaring 16000 x 16000 and
// 100000 x 100000 pixels, a folder, a missing file and a named pipe. Each row
// says what is wrong in its label, keeps its stored path, and none of them
// holds the dialog.
#include "setup/racersdialog.h"

#include "setup/dialogtesting.h"
#include "support/badinput_files.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Status = RacersDialog::LogoStatus;

class ScriptedRacersDialog : public RacersDialog {
public:
    ScriptedRacersDialog() : RacersDialog(OkButtonRole::Ok) {}
    QString nextChoice;

protected:
    QString chooseLogoFile() override { return nextChoice; }
};

QString labelText(const RacersDialog &dialog, int row)
{
    return control<QLabel>(&dialog, QStringLiteral("label%1").arg(2032 + row))->text();
}

} // namespace

class RacersDialogBadInputTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void storedBadLogosAreNamedInTheirRows_data();
    void storedBadLogosAreNamedInTheirRows();
    void chosenNamedPipeIsRefusedAndTheOldLogoStays();
    void bitmapCutShortIsTakenAsFarAsItGoes();

private:
    QTemporaryDir dir_;
};

void RacersDialogBadInputTest::initTestCase()
{
    QVERIFY(badinput::writeFile(dir_.filePath("text.bmp"), "Tohle není obrázek.\r\n"));
    QVERIFY(badinput::writeBitmapDeclaring(dir_.filePath("velky.bmp"), 16000, 16000));
    QVERIFY(badinput::writeBitmapDeclaring(dir_.filePath("obri.bmp"), 100000, 100000));
    QVERIFY(QDir(dir_.path()).mkdir("slozka.bmp"));
    QVERIFY(badinput::writeTruncatedBitmap(dir_.filePath("pulka.bmp")));
    QImage good(40, 30, QImage::Format_RGB32);
    good.fill(Qt::darkGreen);
    QVERIFY(good.save(dir_.filePath("dobre.bmp"), "BMP"));
}

void RacersDialogBadInputTest::storedBadLogosAreNamedInTheirRows_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("label");
    QTest::addColumn<Status>("status");
    const QString unreadable = QStringLiteral("v souboru došlo k chybě");
    QTest::newRow("no picture") << "text.bmp" << unreadable << Status::None;
    QTest::newRow("declares 16000 x 16000") << "velky.bmp" << "velikost 16000x16000px" << Status::TooLarge;
    QTest::newRow("declares more than a bitmap header takes") << "obri.bmp" << unreadable << Status::None;
    QTest::newRow("a folder") << "slozka.bmp" << unreadable << Status::None;
    QTest::newRow("missing") << "chybi.bmp" << unreadable << Status::None;
}

void RacersDialogBadInputTest::storedBadLogosAreNamedInTheirRows()
{
    QFETCH(QString, file);
    QFETCH(QString, label);
    QFETCH(Status, status);
    RacersDialog dialog(OkButtonRole::Ok);
    RacersDialog::Values stored;
    stored.racerName[0] = "Anna";
    stored.logoPath[0] = dir_.filePath(file).toStdString();
    dialog.setValues(stored);
    QCOMPARE(labelText(dialog, 0), label);
    QCOMPARE(dialog.logoStatus(0), status);
    QCOMPARE(dialog.values().logoPath[0], stored.logoPath[0]);
}

// Opening a pipe to read its picture used to wait until another program
// wrote to it, holding the dialog all that time.
void RacersDialogBadInputTest::chosenNamedPipeIsRefusedAndTheOldLogoStays()
{
    badinput::UnattendedPipe pipe(dir_.filePath("roura.bmp"));
    QVERIFY(pipe.created());
    ScriptedRacersDialog dialog;
    RacersDialog::Values stored;
    stored.racerName[0] = "Anna";
    stored.logoPath[0] = dir_.filePath("dobre.bmp").toStdString();
    dialog.setValues(stored);

    dialog.nextChoice = dir_.filePath("roura.bmp");
    control<QPushButton>(&dialog, "button2024")->click();
    QVERIFY2(!pipe.wasWaitedOn(), "the pipe held the dialog");
    QCOMPARE(labelText(dialog, 0), QStringLiteral("v souboru došlo k chybě"));
    QCOMPARE(dialog.logoStatus(0), Status::Loaded);
    QCOMPARE(dialog.values().logoPath[0], stored.logoPath[0]);
}

// Qt's bitmap reader keeps the rows it could read, so the file passes.
void RacersDialogBadInputTest::bitmapCutShortIsTakenAsFarAsItGoes()
{
    ScriptedRacersDialog dialog;
    RacersDialog::Values stored;
    stored.racerName[0] = "Anna";
    dialog.setValues(stored);
    dialog.nextChoice = dir_.filePath("pulka.bmp");
    control<QPushButton>(&dialog, "button2024")->click();
    QCOMPARE(labelText(dialog, 0), QStringLiteral("pulka.bmp"));
    QCOMPARE(dialog.values().logoPath[0], dialog.nextChoice.toStdString());
}

QTEST_MAIN(RacersDialogBadInputTest)
#include "racersdialog_badinput_test.moc"
