#include "setup/commdialog.h"

#include "config/initext.h"
#include "setup/dialogokbutton.h"
#include "setup/dialogunits.h"
#include "setup/portsettings.h"
#include "setup/settingstextinput.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSerialPortInfo>

namespace {

constexpr int kPortNumbers = 32;

// The item shown for an empty stored text, by list position.
constexpr int kDefaultPortItem = 0;     // COM1
constexpr int kDefaultBaudRateItem = 6; // CBR_9600
constexpr int kDefaultDataBitsItem = 3; // 8
constexpr int kDefaultStopBitsItem = 0; // ONESTOPBIT
constexpr int kDefaultParityItem = 2;   // NOPARITY

QStringList portItems()
{
    QStringList items;
    for (int n = 1; n <= kPortNumbers; ++n)
        items << QStringLiteral("COM%1").arg(n);
    // Linux names its serial devices by path; offer the ones this computer has.
    // A path the settings file cannot hold is not offered.
    QStringList devices;
    for (const QSerialPortInfo &port : QSerialPortInfo::availablePorts()) {
        if (fitsIniValue(port.systemLocation().toStdString()))
            devices << port.systemLocation();
    }
    devices.sort();
    devices.removeDuplicates();
    return items + devices;
}

template <typename Table>
QStringList tableNames(const Table &table)
{
    QStringList names;
    for (const auto &row : table)
        names << QString::fromLatin1(row.name.data(), static_cast<qsizetype>(row.name.size()));
    return names;
}

QComboBox *createCombo(const char *name, const QStringList &items, QDialog *dialog)
{
    auto *combo = new QComboBox(dialog);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setEditable(true);
    // Typed text stays as typed: no completion, and it never joins the list.
    combo->setCompleter(nullptr);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setValidator(new SettingsTextValidator(dialog, combo));
    combo->addItems(items);
    return combo;
}

// An empty text picks the default item; any other text the item equal to it
// in any letter case, or nothing at all.
void choose(QComboBox *combo, const std::string &stored, int defaultItem)
{
    const int item = stored.empty()
                         ? defaultItem
                         : combo->findText(QString::fromStdString(stored), Qt::MatchFixedString);
    combo->setCurrentIndex(item);
    if (item < 0)
        combo->setEditText(QString());
}

} // namespace

CommDialog::CommDialog(OkButtonRole role, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Nastavení komunikačního kanálu"));
    DialogUnits units(font());

    port_ = createCombo("combo1007", portItems(), this);
    baudRate_ = createCombo("combo1008", tableNames(baudRateTable), this);
    dataBits_ = createCombo("combo1009", {"5", "6", "7", "8"}, this);
    stopBits_ = createCombo("combo1010", tableNames(stopBitsTable), this);
    // The parity list has an order of its own, alphabetical.
    parity_ = createCombo("combo1011", {"EVENPARITY", "MARKPARITY", "NOPARITY", "ODDPARITY"}, this);

    struct Row {
        QComboBox *combo;
        const char *label;
        int labelX, labelWidth;
    };
    const Row rows[] = {
        {port_, "Komunikační port:", 13, 58},
        {baudRate_, "Přenosová rychlost:", 7, 64},
        {dataBits_, "Počet bitů:", 36, 35},
        {stopBits_, "Stop Bit:", 43, 28},
        {parity_, "Parita:", 50, 21},
    };
    int y = 7;
    for (const Row &row : rows) {
        auto *label = new QLabel(QString::fromUtf8(row.label), this);
        // The labels all end where the combo boxes begin.
        label->setAlignment(Qt::AlignRight | Qt::AlignTop);
        units.place(label, row.labelX, y + 2, row.labelWidth, 8);
        units.placeKeepingHeight(row.combo, 75, y, 77);
        y += 16;
    }
    units.place(createOkButton(this, role), 87, 92, 50, 14);
    units.apply(this, 159, 116);
}

void CommDialog::setValues(const Values &values)
{
    // A device path chosen earlier stays offered while its adapter is
    // unplugged: opening it empty would erase the setting on the next OK.
    const QString storedPort = QString::fromStdString(values.commPort);
    if (storedPort.startsWith(u'/') && port_->findText(storedPort, Qt::MatchFixedString) < 0)
        port_->addItem(storedPort);
    choose(port_, values.commPort, kDefaultPortItem);
    choose(baudRate_, values.baudRate, kDefaultBaudRateItem);
    choose(dataBits_, values.dataBits, kDefaultDataBitsItem);
    choose(stopBits_, values.stopBits, kDefaultStopBitsItem);
    choose(parity_, values.parity, kDefaultParityItem);
}

CommDialog::Values CommDialog::values() const
{
    return {port_->currentText().toStdString(), baudRate_->currentText().toStdString(),
            dataBits_->currentText().toStdString(), stopBits_->currentText().toStdString(),
            parity_->currentText().toStdString()};
}
