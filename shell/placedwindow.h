// Where the window system has really put a top-level window, frame included.
// Qt reports the rectangle last asked for until the window manager answers,
// and a window manager may answer with another place (a panel's strut) or
// late; the slide, the grow-back and the pin must see the answer. On X11 the
// server is asked; elsewhere (the offscreen platform of the tests) Qt's own
// rectangle is all there is. The rectangle is in logical pixels, as every
// other rectangle of the window is.
#pragma once

#include "engine/geometry.h"

class QWidget;

Rect placedWindowRect(const QWidget &window);

/// Asks the X server for exactly \a rect (logical, frame included) in device
/// pixels, after Qt's own request: under a desktop scale Qt rounds the
/// client's logical size and place on their own, and with the window
/// manager's frame (in device pixels) the whole misses the screen's edge by
/// a pixel. Returns whether it asked; unscaled Qt's request is exact.
bool placeWindowRect(QWidget &window, const Rect &rect);
