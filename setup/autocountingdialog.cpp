#include "setup/autocountingdialog.h"

#include "setup/dialogokbutton.h"
#include "setup/dialogunits.h"

#include <QCheckBox>
#include <QPushButton>

AutoCountingDialog::AutoCountingDialog(OkButtonRole role, QWidget *parent)
    : QDialog(parent),
      checkBox_(new QCheckBox(QStringLiteral("Zapnout funkci automatického počítání vyjetí z dráhy"), this))
{
    setWindowTitle(QStringLiteral("Funkce automatického počítání"));
    DialogUnits units(font());
    checkBox_->setObjectName(QStringLiteral("check2000"));
    units.place(checkBox_, 6, 10, 184, 10);
    units.place(createOkButton(this, role), 196, 7, 50, 14);
    units.apply(this, 253, 28);
}

void AutoCountingDialog::setValues(const Values &values)
{
    // The engine counts with any value but 0, so the box shows it as on.
    checkBox_->setChecked(values.autoOffTrackCounting != 0);
}

AutoCountingDialog::Values AutoCountingDialog::values() const
{
    return {checkBox_->isChecked() ? 1 : 0};
}
