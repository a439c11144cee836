// Where the window system has really put a top-level window, frame included.
// Qt reports the rectangle last asked for until the window manager answers,
// and a window manager may answer with another place (a panel's strut) or
// late; the slide, the grow-back and the pin must see the answer. On X11 the
// server is asked; elsewhere (the offscreen platform of the tests) Qt's own
// rectangle is all there is.
#pragma once

#include "engine/geometry.h"

class QWidget;

Rect placedWindowRect(const QWidget &window);
