#include "setup/displaydialog.h"

#include "setup/dialogokbutton.h"
#include "setup/dialogunits.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace {

struct RadioTemplate {
    int id;
    const char *text;
    int x, y, width;
};

constexpr RadioTemplate kOrderButtons[] = {
    {1004, "podle pořadí na dráze /", 7, 7, 91},
    {1005, "podle pořadí na startu", 97, 7, 85},
};

constexpr RadioTemplate kArrangementButtons[] = {
    {1013, "Vždy všechny závodníky", 7, 29, 95},
    {1014, "Vycentrovat", 7, 39, 54},
    {1015, "Nahoru", 7, 49, 39},
    {1016, "Dolu", 7, 59, 31},
    {1018, "Roztáhnout aktivní", 7, 69, 76},
};

// Fills \a group with its buttons; a button's id in the group is its position.
template <std::size_t N>
void addRadioButtons(QButtonGroup *group, const RadioTemplate (&buttons)[N], QDialog *dialog,
                     DialogUnits &units)
{
    for (std::size_t i = 0; i < N; ++i) {
        auto *button = new QRadioButton(QString::fromUtf8(buttons[i].text), dialog);
        button->setObjectName(QStringLiteral("radio%1").arg(buttons[i].id));
        units.place(button, buttons[i].x, buttons[i].y, buttons[i].width, 10);
        group->addButton(button, static_cast<int>(i));
    }
}

// Sets the button at \a position and clears the others; a position outside
// the group leaves all of them clear.
void checkPosition(QButtonGroup *group, int position)
{
    group->setExclusive(false);
    for (QAbstractButton *button : group->buttons())
        button->setChecked(group->id(button) == position);
    group->setExclusive(true);
}

} // namespace

DisplayDialog::DisplayDialog(OkButtonRole role, QWidget *parent)
    : QDialog(parent), order_(new QButtonGroup(this)), arrangement_(new QButtonGroup(this))
{
    setWindowTitle(QStringLiteral("Přepnutí zobrazení"));
    DialogUnits units(font());

    // Created in tab order.
    units.place(createOkButton(this, role), 118, 72, 50, 14);
    addRadioButtons(order_, kOrderButtons, this, units);
    // Sorting by position on the track is not available: it can be shown as
    // stored, but never chosen.
    order_->button(0)->setEnabled(false);
    addRadioButtons(arrangement_, kArrangementButtons, this, units);

    units.place(new QGroupBox(QStringLiteral("Barevné schéma :"), this), 108, 30, 74, 34);
    colour_ = new QComboBox(this);
    colour_->setObjectName(QStringLiteral("combo1017"));
    colour_->addItems({QStringLiteral("modré"), QStringLiteral("červené"), QStringLiteral("zelené")});
    colour_->setCurrentIndex(-1);
    units.placeKeepingHeight(colour_, 115, 44, 61);

    auto *heading = new QLabel(QStringLiteral("NASTAVENÍ HLAVNÍ PLOCHY :"), this);
    heading->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    units.place(heading, 7, 19, 175, 8);
    units.apply(this, 189, 94);
}

void DisplayDialog::setValues(const Values &values)
{
    checkPosition(order_, values.order);
    checkPosition(arrangement_, values.arrangement);
    colour_->setCurrentIndex(values.colour >= 0 && values.colour < colour_->count() ? values.colour : -1);
}

DisplayDialog::Values DisplayDialog::values() const
{
    // checkedId() is -1 when no button is set.
    return {order_->checkedId(), arrangement_->checkedId(), colour_->currentIndex()};
}
