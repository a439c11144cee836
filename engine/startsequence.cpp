#include "engine/startsequence.h"

#include <algorithm>
#include <cstdlib>

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

// One axis of the grow-back: the start moves towards the target's start and
// the length grows by two steps until the window reaches the target's end.
void growAxis(int &start, int &end, int targetStart, int targetEnd, int step)
{
    const int length = end - start;
    const int newStart = std::max(targetStart, start - step);
    const int newLength = newStart + length + 2 * step > targetEnd ? targetEnd - newStart : length + 2 * step;
    start = newStart;
    end = newStart + newLength;
}

// How far the window's edges are from the target's, in pixels.
int edgeDistance(const Rect &window, const Rect &target)
{
    return std::abs(window.left - target.left) + std::abs(window.top - target.top)
           + std::abs(window.right - target.right) + std::abs(window.bottom - target.bottom);
}

} // namespace

Rect growBackStep(const Rect &window, const Rect &target, int step)
{
    Rect grown = window;
    growAxis(grown.top, grown.bottom, target.top, target.bottom, step);
    growAxis(grown.left, grown.right, target.left, target.right, step);
    return grown;
}

GrowBack::GrowBack(const Rect &screen, const Rect &availableArea)
    : available_(availableArea), step_(std::max(screen.width(), screen.height()) / 200)
{
    aimAt(screen);
}

void GrowBack::aimAt(const Rect &target)
{
    target_ = target;
    closest_ = INT_MAX;
    ticksWithoutProgress_ = 0;
}

GrowBack::Step GrowBack::tick(const Rect &window)
{
    if (window == target_)
        return {window, true};
    const int distance = edgeDistance(window, target_);
    if (distance < closest_) {
        closest_ = distance;
        ticksWithoutProgress_ = 0;
    } else if (++ticksWithoutProgress_ >= kPatienceTicks) {
        // The window manager will not let the window get closer.
        if (target_ == available_)
            return {window, true};
        aimAt(available_);
    }
    return {growBackStep(window, target_, step_), false};
}
