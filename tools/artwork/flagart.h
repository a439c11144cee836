// The flag pictures of the race table's flag column: a waving flag on a pole
// in a 78 x 60 design space, plain, chequered or red with a digit on a black
// disc. The chequered flag is also the emblem of the program's icon.
#pragma once

#include <QColor>

class QPainter;

inline constexpr int kFlagWidth = 78;
inline constexpr int kFlagHeight = 60;

void drawPlainFlag(QPainter &painter, const QColor &cloth);
void drawChequeredFlag(QPainter &painter);
void drawNumberedFlag(QPainter &painter, int digit);
