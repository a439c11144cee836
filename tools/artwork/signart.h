// The two fuel signs of the race table's flag column (78 x 60): the low-tank
// warning (a red square with a fuel pump and "Warning") and the empty-tank
// sign (a red prohibition ring over the words "Fuel Duty").
#pragma once

class QPainter;

void drawFuelWarningSign(QPainter &painter);
void drawFuelDutySign(QPainter &painter);
