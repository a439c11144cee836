#include "setup/racersdialog.h"

#include "config/initext.h"
#include "qtplatform/logofile.h"
#include "qtplatform/messagebox.h"
#include "setup/dialogokbutton.h"
#include "setup/dialogunits.h"
#include "setup/settingstextinput.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace {

constexpr int kMaxLogoWidth = 150;
constexpr int kMaxLogoHeight = 100;
const QString kLoadErrorText = QStringLiteral("v souboru došlo k chybě");

// Vertical template positions that do not follow the 16-unit row pitch.
constexpr int kIconY[kRacerCount] = {25, 39, 57, 71, 89, 103, 121, 135};
constexpr int kLabelY[kRacerCount] = {29, 44, 60, 76, 92, 108, 124, 140};

bool fitsLogoLimit(const QSize &size)
{
    return size.width() <= kMaxLogoWidth && size.height() <= kMaxLogoHeight;
}

QString iconFile(RacersDialog::LogoStatus status)
{
    switch (status) {
    case RacersDialog::LogoStatus::Loaded: return QStringLiteral(":/resources/icon108.png");
    case RacersDialog::LogoStatus::TooLarge: return QStringLiteral(":/resources/icon107.png");
    case RacersDialog::LogoStatus::None: break;
    }
    return QStringLiteral(":/resources/icon109.png");
}

// The file part of a stored path, which may come from Windows or from here.
QString fileNameOf(const std::string &path)
{
    const auto separator = path.find_last_of("\\/");
    return QString::fromStdString(separator == std::string::npos ? path : path.substr(separator + 1));
}

} // namespace

RacersDialog::RacersDialog(OkButtonRole role, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Nastavení závodníků"));
    DialogUnits units(font());

    // The frames go first so that the controls lie on top of them.
    units.place(new QGroupBox(QStringLiteral("Jméno :"), this), 80, 7, 115, 157);
    units.place(new QGroupBox(QStringLiteral("Výběr loga :"), this), 198, 7, 211, 157);
    for (int row = 0; row < kRacerCount; ++row)
        createRow(row, units);
    units.place(createOkButton(this, role), 171, 170, 50, 14);
    units.apply(this, 416, 191);
}

void RacersDialog::createRow(int row, DialogUnits &units)
{
    Row &controls = rows_[row];

    controls.tick = new QCheckBox(QStringLiteral("Závodník číslo %1").arg(row + 1), this);
    controls.tick->setObjectName(QStringLiteral("check%1").arg(2000 + row));
    controls.tick->setEnabled(row == 0);
    units.place(controls.tick, 7, 31 + 16 * row, 69, 10);
    connect(controls.tick, &QCheckBox::clicked, this, [this, row] { racerRowEnable(row); });

    controls.name = new QLineEdit(this);
    controls.name->setObjectName(QStringLiteral("edit%1").arg(2008 + row));
    controls.name->setValidator(new SettingsTextValidator(this, controls.name));
    controls.name->setEnabled(false);
    units.place(controls.name, 87, 28 + 16 * row, 100, 14);

    controls.icon = new QToolButton(this);
    controls.icon->setObjectName(QStringLiteral("icon%1").arg(2016 + row));
    controls.icon->setAutoRaise(true);
    controls.icon->setFocusPolicy(Qt::NoFocus);
    controls.icon->setIconSize(QSize(32, 32));
    controls.icon->setIcon(QIcon(iconFile(LogoStatus::None)));
    units.place(controls.icon, row % 2 == 0 ? 203 : 233, kIconY[row], 20, 20);
    connect(controls.icon, &QToolButton::clicked, this, [this, row] { removeLogo(row); });

    controls.choose = new QPushButton(QStringLiteral("Vyber ..."), this);
    controls.choose->setObjectName(QStringLiteral("button%1").arg(2024 + row));
    controls.choose->setEnabled(false);
    units.place(controls.choose, 267, 26 + 16 * row, 50, 14);
    connect(controls.choose, &QPushButton::clicked, this, [this, row] { chooseLogo(row); });

    controls.label = new QLabel(QStringLiteral("logo nenalezeno"), this);
    controls.label->setObjectName(QStringLiteral("label%1").arg(2032 + row));
    controls.label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    controls.label->setEnabled(false);
    // Room for the longest status the row can show.
    controls.label->setMinimumWidth(controls.label->fontMetrics().horizontalAdvance(kLoadErrorText));
    units.place(controls.label, 321, kLabelY[row], 82, 8);
}

void RacersDialog::setValues(const Values &values)
{
    for (int row = 0; row < kRacerCount; ++row) {
        rows_[row].name->setText(QString::fromStdString(values.racerName[row]));
        rows_[row].logoPath = values.logoPath[row];
    }
    // Three racers named "default" are a placeholder team: their rows are
    // opened for editing and no logo is looked at.
    const bool placeholderTeam = values.racerName[0] == "default" && values.racerName[1] == "default" &&
                                 values.racerName[2] == "default";
    for (int row = 0; row < kRacerCount; ++row) {
        const bool named = placeholderTeam ? row < 3 : !rows_[row].name->text().isEmpty();
        if (!named)
            continue;
        rows_[row].tick->setChecked(true);
        racerRowEnable(row);
        if (!placeholderTeam)
            loadStoredLogo(row);
    }
}

RacersDialog::Values RacersDialog::values() const
{
    Values values;
    for (int row = 0; row < kRacerCount; ++row) {
        values.racerName[row] = rows_[row].name->text().toStdString();
        values.logoPath[row] = rows_[row].logoPath;
    }
    return values;
}

void RacersDialog::accept()
{
    for (const Row &row : rows_) {
        if (row.tick->isChecked() && row.name->text().isEmpty()) {
            showMessageBox(this, {"Chyba", "Jméno závodníka nesmí být prázdné!", MessageButtons::Ok,
                                  MessageIcon::Error});
            return;
        }
    }
    QDialog::accept();
}

QString RacersDialog::chooseLogoFile()
{
    return QFileDialog::getOpenFileName(this, QString(), QString(),
                                        QStringLiteral("bitmap obrázky max. 150x100px (*.bmp)"));
}

void RacersDialog::racerRowEnable(int row)
{
    if (rows_[row].tick->isChecked()) {
        if (row + 1 < kRacerCount)
            rows_[row + 1].tick->setEnabled(true);
        Row &controls = rows_[row];
        controls.tick->setEnabled(true);
        controls.name->setEnabled(true);
        controls.choose->setEnabled(true);
        controls.label->setEnabled(true);
        return;
    }
    // Unticking a row closes it and every row below; their logos stay.
    for (int below = row; below < kRacerCount; ++below) {
        Row &controls = rows_[below];
        controls.name->setEnabled(false);
        controls.name->clear();
        controls.choose->setEnabled(false);
        controls.label->setEnabled(false);
        if (below > row) {
            controls.tick->setChecked(false);
            controls.tick->setEnabled(false);
        }
    }
}

void RacersDialog::chooseLogo(int row)
{
    const QString path = chooseLogoFile();
    if (path.isEmpty())
        return;
    if (!fitsIniValue(path.toStdString())) {
        reportUnsavableText(this, path);
        return;
    }
    if (loadLogo(row, path)) {
        rows_[row].logoPath = path.toStdString();
        rows_[row].label->setText(QFileInfo(path).fileName());
    }
}

void RacersDialog::loadStoredLogo(int row)
{
    const std::string &path = rows_[row].logoPath;
    if (!path.empty() && loadLogo(row, QString::fromStdString(path)))
        rows_[row].label->setText(fileNameOf(path));
}

bool RacersDialog::loadLogo(int row, const QString &path)
{
    const LogoFile logo = readLogoFile(path, fitsLogoLimit);
    switch (logo.status) {
    case LogoFile::Status::Unreadable:
        rows_[row].label->setText(kLoadErrorText);
        return false;
    case LogoFile::Status::TooLarge:
        rows_[row].label->setText(QStringLiteral("velikost %1x%2px").arg(logo.size.width()).arg(logo.size.height()));
        setStatus(row, LogoStatus::TooLarge);
        return false;
    case LogoFile::Status::Loaded:
        break;
    }
    setStatus(row, LogoStatus::Loaded);
    return true;
}

void RacersDialog::removeLogo(int row)
{
    setStatus(row, LogoStatus::None);
    rows_[row].label->setText(QStringLiteral("logo bylo odstraněno"));
    rows_[row].logoPath.clear();
}

void RacersDialog::setStatus(int row, LogoStatus status)
{
    rows_[row].status = status;
    rows_[row].icon->setIcon(QIcon(iconFile(status)));
    rows_[row].icon->show();
}
