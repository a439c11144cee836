#include "setup/lapsdialog.h"

#include "setup/dialogokbutton.h"
#include "setup/dialogunits.h"

#include <QPushButton>
#include <QSlider>

namespace {

constexpr int kLowestLaps = 1;
constexpr int kHighestLaps = 100;
constexpr int kDefaultLaps = 12;

} // namespace

LapsDialog::LapsDialog(OkButtonRole role, QWidget *parent)
    : QDialog(parent), slider_(new QSlider(Qt::Horizontal, this))
{
    DialogUnits units(font());

    slider_->setObjectName(QStringLiteral("slider1006"));
    slider_->setRange(kLowestLaps, kHighestLaps);
    slider_->setTickPosition(QSlider::NoTicks);
    slider_->setValue(kDefaultLaps);
    units.place(slider_, 7, 7, 195, 15);
    // The caption follows every move, also the clamping of a stored value.
    connect(slider_, &QSlider::valueChanged, this, &LapsDialog::updateCaption);
    units.place(createOkButton(this, role), 212, 7, 50, 14);
    units.apply(this, 269, 28);
    updateCaption();
}

void LapsDialog::setValues(const Values &values)
{
    slider_->setValue(values.lapsPerRide == 0 ? kDefaultLaps : values.lapsPerRide);
}

LapsDialog::Values LapsDialog::values() const
{
    return {slider_->value()};
}

void LapsDialog::updateCaption()
{
    setWindowTitle(QStringLiteral("Počet okruhů jedné jízdy [%1]").arg(slider_->value()));
}
