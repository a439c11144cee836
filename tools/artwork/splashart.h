// The splash picture of the start-up window (350 x 170): the program's name
// with its Czech subtitle over a racing scene of a curving track with a
// kerb, a race car and a chequered strip.
#pragma once

class QPainter;

inline constexpr int kSplashWidth = 350;
inline constexpr int kSplashHeight = 170;

void drawSplash(QPainter &painter);
