// The program's icons: the application icon (a chequered flag on a blue
// badge, 256 x 256 design space, scaled for the smaller variants) and the
// 32 x 32 floppy disk of the racers dialog's logo status, in one colour.
#pragma once

#include <QColor>

class QPainter;

inline constexpr int kAppIconSize = 256;
inline constexpr int kFloppySize = 32;

void drawAppIcon(QPainter &painter);
void drawFloppyDisk(QPainter &painter, const QColor &colour);
