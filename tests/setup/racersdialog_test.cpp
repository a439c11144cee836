#include "setup/racersdialog.h"

#include "setup/dialogtesting.h"

#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

namespace {

using Status = RacersDialog::LogoStatus;

// A racers dialog whose file chooser answers from a script.
class ScriptedRacersDialog : public RacersDialog {
public:
    ScriptedRacersDialog() : RacersDialog(OkButtonRole::Ok) {}
    QString nextChoice;

protected:
    QString chooseLogoFile() override { return nextChoice; }
};

// What the user sees of a row.
enum class RowState { Disabled, Tickable, Active };

RowState rowState(const RacersDialog &dialog, int row)
{
    auto *tick = control<QCheckBox>(&dialog, QStringLiteral("check%1").arg(2000 + row));
    const bool nameOpen = control<QLineEdit>(&dialog, QStringLiteral("edit%1").arg(2008 + row))->isEnabled();
    const bool chooseOpen = control<QPushButton>(&dialog, QStringLiteral("button%1").arg(2024 + row))->isEnabled();
    const bool labelOpen = control<QLabel>(&dialog, QStringLiteral("label%1").arg(2032 + row))->isEnabled();
    if (tick->isChecked() && tick->isEnabled() && nameOpen && chooseOpen && labelOpen)
        return RowState::Active;
    if (!tick->isChecked() && !nameOpen && !chooseOpen && !labelOpen)
        return tick->isEnabled() ? RowState::Tickable : RowState::Disabled;
    qFatal("row %d is in a state no user action leads to", row + 1);
}

QList<RowState> rowStates(const RacersDialog &dialog)
{
    QList<RowState> states;
    for (int row = 0; row < kRacerCount; ++row)
        states << rowState(dialog, row);
    return states;
}

QList<RowState> expectedStates(int active, const QList<RowState> &rest)
{
    QList<RowState> states(active, RowState::Active);
    return states + rest;
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

RacersDialog::Values namesOnly(std::initializer_list<std::string> names)
{
    RacersDialog::Values values;
    std::copy(names.begin(), names.end(), values.racerName.begin());
    return values;
}

} // namespace

class RacersDialogTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;

    // A BMP file of the given size in the test's folder; its full path.
    std::string bitmap(const QString &name, int width, int height)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        const QString path = dir_.filePath(name);
        if (!image.save(path, "BMP"))
            qFatal("cannot write %s", qPrintable(path));
        return path.toStdString();
    }

private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }

    void namedRowsOpenActiveAndTheNextOneTickable()
    {
        RacersDialog dialog(OkButtonRole::Ok);
        dialog.setValues(namesOnly({"Závodník 1", "Závodník 2"}));
        QCOMPARE(rowStates(dialog), expectedStates(2, {RowState::Tickable, RowState::Disabled, RowState::Disabled,
                                                       RowState::Disabled, RowState::Disabled, RowState::Disabled}));
    }

    void gapInTheNamesLeavesItsRowTickableAndConfirmsUnchanged()
    {
        RacersDialog dialog(OkButtonRole::Ok);
        dialog.setValues(namesOnly({"Anna", "", "Petr"}));
        QCOMPARE(rowStates(dialog),
                 (QList<RowState>{RowState::Active, RowState::Tickable, RowState::Active, RowState::Tickable,
                                  RowState::Disabled, RowState::Disabled, RowState::Disabled, RowState::Disabled}));
        const RacersDialog::Values values = dialog.values();
        QCOMPARE(values.racerName[0], "Anna");
        QCOMPARE(values.racerName[1], "");
        QCOMPARE(values.racerName[2], "Petr");
    }

    void untickingARowClosesItAndEveryRowBelowAndEmptiesTheirNames()
    {
        RacersDialog dialog(OkButtonRole::Ok);
        dialog.setValues(namesOnly({"Anna", "Bára", "Cyril", "Dan"}));
        dialog.show();
        clickTick(dialog, 1);
        QCOMPARE(rowStates(dialog), expectedStates(1, {RowState::Tickable, RowState::Disabled, RowState::Disabled,
                                                       RowState::Disabled, RowState::Disabled, RowState::Disabled,
                                                       RowState::Disabled}));
        QCOMPARE(nameText(dialog, 0), "Anna");
        for (int row = 1; row < kRacerCount; ++row)
            QCOMPARE(nameText(dialog, row), "");

        // Ticking again opens the row with an empty name, and the next one.
        clickTick(dialog, 1);
        QCOMPARE(rowStates(dialog), expectedStates(2, {RowState::Tickable, RowState::Disabled, RowState::Disabled,
                                                       RowState::Disabled, RowState::Disabled, RowState::Disabled}));
        QCOMPARE(nameText(dialog, 1), "");
    }

    void placeholderNamesOpenThreeRowsWithoutLookingAtLogos()
    {
        RacersDialog dialog(OkButtonRole::Ok);
        RacersDialog::Values stored = namesOnly({"default", "default", "default"});
        stored.logoPath[0] = bitmap("placeholder.bmp", 40, 30);
        dialog.setValues(stored);
        QCOMPARE(rowStates(dialog), expectedStates(3, {RowState::Tickable, RowState::Disabled, RowState::Disabled,
                                                       RowState::Disabled, RowState::Disabled}));
        QCOMPARE(labelText(dialog, 0), "logo nenalezeno");
        QCOMPARE(dialog.logoStatus(0), Status::None);
        QCOMPARE(dialog.values().logoPath[0], stored.logoPath[0]);
    }

    void storedLogosAreCheckedAgainstTheSizeLimit_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QString>("label");
        QTest::addColumn<Status>("status");
        QTest::newRow("at the limit") << 150 << 100 << "logo150x100.bmp" << Status::Loaded;
        QTest::newRow("one too wide") << 151 << 100 << "velikost 151x100px" << Status::TooLarge;
        QTest::newRow("one too high") << 150 << 101 << "velikost 150x101px" << Status::TooLarge;
    }
    void storedLogosAreCheckedAgainstTheSizeLimit()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QString, label);
        QFETCH(Status, status);
        RacersDialog::Values stored = namesOnly({"Anna"});
        stored.logoPath[0] = bitmap(QStringLiteral("logo%1x%2.bmp").arg(width).arg(height), width, height);
        RacersDialog dialog(OkButtonRole::Ok);
        dialog.setValues(stored);
        QCOMPARE(labelText(dialog, 0), label);
        QCOMPARE(dialog.logoStatus(0), status);
        // Loading a stored logo never changes its path, refused or not.
        QCOMPARE(dialog.values().logoPath[0], stored.logoPath[0]);
    }

    void chosenLogoIsTakenOnlyWhenItFits()
    {
        ScriptedRacersDialog dialog;
        dialog.setValues(namesOnly({"Anna"}));
        dialog.show();
        auto *choose = control<QPushButton>(&dialog, "button2024");

        const std::string fits = bitmap("fits.bmp", 150, 100);
        dialog.nextChoice = QString::fromStdString(fits);
        choose->click();
        QCOMPARE(labelText(dialog, 0), "fits.bmp");
        QCOMPARE(dialog.logoStatus(0), Status::Loaded);
        QCOMPARE(dialog.values().logoPath[0], fits);

        dialog.nextChoice = QString::fromStdString(bitmap("wide.bmp", 151, 100));
        choose->click();
        QCOMPARE(labelText(dialog, 0), "velikost 151x100px");
        QCOMPARE(dialog.logoStatus(0), Status::TooLarge);
        QCOMPARE(dialog.values().logoPath[0], fits);

        dialog.nextChoice.clear(); // the file dialog cancelled
        choose->click();
        QCOMPARE(labelText(dialog, 0), "velikost 151x100px");
        QCOMPARE(dialog.values().logoPath[0], fits);
    }

    void unreadableLogoReportsAnErrorInItsRowAndKeepsTheOldOne()
    {
        const QString broken = dir_.filePath("broken.bmp");
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("BM this is not a bitmap");
        file.close();

        ScriptedRacersDialog dialog;
        RacersDialog::Values stored = namesOnly({"Anna", "Bára"});
        stored.logoPath[1] = bitmap("good.bmp", 20, 20);
        dialog.setValues(stored);
        dialog.nextChoice = broken;
        control<QPushButton>(&dialog, "button2025")->click();
        QCOMPARE(labelText(dialog, 1), "v souboru došlo k chybě");
        QCOMPARE(dialog.logoStatus(1), Status::Loaded);
        QCOMPARE(dialog.values().logoPath[1], stored.logoPath[1]);

        RacersDialog missing(OkButtonRole::Ok);
        RacersDialog::Values gone = namesOnly({"Anna"});
        gone.logoPath[0] = dir_.filePath("missing.bmp").toStdString();
        missing.setValues(gone);
        QCOMPARE(labelText(missing, 0), "v souboru došlo k chybě");
        QCOMPARE(missing.logoStatus(0), Status::None);
    }

    void clickingTheIconRemovesTheLogoAlsoInAnUntickedRow()
    {
        RacersDialog dialog(OkButtonRole::Ok);
        RacersDialog::Values stored = namesOnly({"Anna"});
        stored.logoPath[0] = bitmap("anna.bmp", 50, 50);
        stored.logoPath[3] = "C:\\loga\\nepouzito.bmp";
        dialog.setValues(stored);
        QCOMPARE(labelText(dialog, 0), "anna.bmp");

        // A logo stored for a row without a name is left as it is.
        QCOMPARE(dialog.values().logoPath[3], stored.logoPath[3]);
        QCOMPARE(labelText(dialog, 3), "logo nenalezeno");

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
        QString caption, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        whenModalOpens<QMessageBox>([&](QMessageBox *box) {
            caption = box->windowTitle();
            text = box->text();
            icon = box->icon();
            box->button(QMessageBox::Ok)->click();
        });
        control<QPushButton>(&dialog, "ok")->click();
        QCOMPARE(caption, "Chyba");
        QCOMPARE(text, "Jméno závodníka nesmí být prázdné!");
        QCOMPARE(icon, QMessageBox::Critical);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));

        // A name of blanks is a name.
        QTest::keyClicks(control<QLineEdit>(&dialog, "edit2010"), "   ");
        control<QPushButton>(&dialog, "ok")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.values().racerName[2], "   ");
    }

    void namesRefuseCharactersTheSettingsFileCannotHold()
    {
        RacersDialog dialog(OkButtonRole::Ok);
        dialog.setValues(namesOnly({"Anna"}));
        dialog.show();
        auto *name = control<QLineEdit>(&dialog, "edit2008");
        name->clear();
        // Typed one character at a time, as a keyboard delivers them.
        for (const QChar character : QStringLiteral("Řehoř ☃ Žák €"))
            QTest::sendKeyEvent(QTest::Click, name, Qt::Key_unknown, QString(character), Qt::NoModifier);
        QCOMPARE(name->text(), QStringLiteral("Řehoř  Žák €"));
    }
};

QTEST_MAIN(RacersDialogTest)
#include "racersdialog_test.moc"
