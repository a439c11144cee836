// The faces of the two action buttons of a race table row (30 x 30, on a
// transparent background): the green circular arrow of "GO" and readmission,
// and the red diagonal cross of disqualification.
#pragma once

class QPainter;

void drawGoArrow(QPainter &painter);
void drawDisqualifyCross(QPainter &painter);
