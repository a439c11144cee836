// Conversions from the engine's plain rectangles and colours to Qt's.
#pragma once

#include "engine/geometry.h"

#include <QColor>
#include <QRect>

inline QRect toQRect(const Rect &rect)
{
    return {rect.left, rect.top, rect.width(), rect.height()};
}

inline QColor toQColor(Rgb colour)
{
    return {colour.red, colour.green, colour.blue};
}
