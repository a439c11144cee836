#include "setup/dialogunits.h"

#include <QAbstractButton>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QWidget>

#include <algorithm>

namespace {

// Windows rounds a dialog-unit conversion to the nearest pixel (MulDiv).
int scaleRounded(int units, int base, int divisor)
{
    return static_cast<int>((static_cast<long long>(units) * base * 2 + divisor) / (2 * divisor));
}

// Widgets whose text is their whole content: labels, check boxes, radio
// buttons. Push buttons are left out: their text has room to spare.
bool showsStaticText(const QWidget *widget)
{
    if (qobject_cast<const QLabel *>(widget))
        return !static_cast<const QLabel *>(widget)->text().isEmpty();
    const auto *button = qobject_cast<const QAbstractButton *>(widget);
    return button && button->isCheckable() && !button->text().isEmpty();
}

} // namespace

DialogUnits::DialogUnits(const QFont &font)
{
    const QFontMetrics metrics(font);
    // The dialog base width is the average width of the 52 Latin letters,
    // rounded, not the font's own average character width.
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    averageWidth_ = (letters / 26 + 1) / 2;
    height_ = metrics.height();
}

void DialogUnits::place(QWidget *widget, int x, int y, int width, int height)
{
    placements_.push_back({widget, QRect(x, y, width, height), false});
}

void DialogUnits::placeKeepingHeight(QWidget *widget, int x, int y, int width)
{
    placements_.push_back({widget, QRect(x, y, width, 0), true});
}

void DialogUnits::apply(QWidget *dialog, int width, int height)
{
    for (const Placement &placement : placements_)
        widenToFitText(placement);
    for (const Placement &placement : placements_) {
        QRect pixels = toPixels(placement.units);
        if (placement.keepHeight)
            pixels.setHeight(placement.widget->sizeHint().height());
        placement.widget->setGeometry(pixels);
    }
    dialog->setFixedSize(toPixels(QRect(0, 0, width, height)).size());
}

QRect DialogUnits::toPixels(const QRect &units) const
{
    return {scaleRounded(units.x(), averageWidth_, 4), scaleRounded(units.y(), height_, 8),
            scaleRounded(units.width(), averageWidth_, 4), scaleRounded(units.height(), height_, 8)};
}

void DialogUnits::widenToFitText(const Placement &placement)
{
    if (!showsStaticText(placement.widget) || placement.units.width() <= 0)
        return;
    const int needed = std::max(placement.widget->sizeHint().width(), placement.widget->minimumWidth());
    while (scaleRounded(placement.units.width(), averageWidth_, 4) < needed)
        ++averageWidth_;
}
