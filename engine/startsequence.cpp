#include "engine/startsequence.h"

#include <algorithm>

int LightsGeometry::margin() const
{
    return static_cast<int>(((gap + top) / 2) * 0.1);
}

Rect LightsGeometry::windowFrame() const
{
    const int m = static_cast<int>(margin() * 1.5);
    return {gap - m, top - m, (gap + size) * 5 + m, top + size + m};
}

Rect LightsGeometry::panel() const
{
    const int m = margin();
    return {gap - m, top - m, (gap + size) * 5 + m, top + size + m};
}

Rect LightsGeometry::light(int index) const
{
    return {gap + (gap + size) * index, top, (gap + size) * (index + 1), top + size};
}

LightsGeometry lightsGeometry(int screenWidth, int screenHeight)
{
    LightsGeometry g;
    const int byWidth = static_cast<int>(((screenWidth - 140) / 5) * 0.9);
    g.size = byWidth < screenHeight - 470 ? byWidth : screenHeight - 470;
    g.gap = (screenWidth - 5 * g.size) / 6;
    g.top = (screenHeight - g.size - 310) / 2;
    return g;
}

Rect lightsWindowGeometry(const Rect &frame)
{
    return {frame.left - 10, frame.top - 10, frame.right + 10, frame.bottom + 10};
}

SlideStep slideDownStep(const Rect &window, int /*screenWidth*/, int screenHeight)
{
    const int step = screenHeight / 300;
    return {{window.left, window.top + step, window.right, window.bottom + step},
            screenHeight - window.bottom < 70};
}

namespace {

// One axis of the grow-back: the start moves towards 0 and the length grows by
// two steps until the window reaches the screen's far edge.
void growAxis(int &start, int &end, int screenLength, int step)
{
    const int length = end - start;
    const int newStart = std::max(0, start - step);
    const int newLength = newStart + length + 2 * step > screenLength ? screenLength - newStart : length + 2 * step;
    start = newStart;
    end = newStart + newLength;
}

} // namespace

Rect growBackStep(const Rect &window, int screenWidth, int screenHeight)
{
    const int step = std::max(screenWidth, screenHeight) / 200;
    Rect grown = window;
    growAxis(grown.top, grown.bottom, screenHeight, step);
    growAxis(grown.left, grown.right, screenWidth, step);
    return grown;
}
