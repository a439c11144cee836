// Screen arithmetic of the start: where the five start lights stand, and how
// the main window slides down before the countdown and grows back after it.
#pragma once

#include "engine/geometry.h"

#include <climits>

struct LightsGeometry {
    int size = 0; ///< a light's diameter
    int gap = 0;  ///< space between the lights and at both ends
    int top = 0;  ///< top edge of the lights

    /// The panel's margin around the row of lights.
    int margin() const;
    Rect windowFrame() const; ///< the grey frame, before the window's 10 px border
    Rect panel() const;       ///< the black panel
    Rect light(int index) const;
};

LightsGeometry lightsGeometry(int screenWidth, int screenHeight);

/// The start-lights window: the frame grown by its 10 px border.
Rect lightsWindowGeometry(const Rect &frame);

/// One 10 ms step of the slide down: the window moved by a 300th of the screen
/// height, and whether the slide has reached the bottom.
struct SlideStep {
    Rect window;
    bool finished = false;
};
SlideStep slideDownStep(const Rect &window, int screenWidth, int screenHeight);

/// One 10 ms step of the grow-back towards \a target (the full screen unless
/// the window manager keeps the window off part of it): the start edges move
/// towards the target's by \a step, the size grows by two steps, capped at
/// the target's far edges.
Rect growBackStep(const Rect &window, const Rect &target, int step);

/// The grow-back after the countdown. It aims at the full screen and ends on
/// the tick that finds the window there. A window manager may keep the window
/// off a panel's strut: when the window stops coming closer for a while, the
/// grow-back aims at the screen's available area instead, and when it stops
/// short of that too, it ends where the window is.
class GrowBack {
public:
    /// Ticks without the window coming closer before the grow-back gives up a
    /// target; far more than a window manager needs to answer a request.
    static constexpr int kPatienceTicks = 50;

    GrowBack(const Rect &screen, const Rect &availableArea);

    struct Step {
        Rect window;           ///< where to put the window now
        bool finished = false; ///< the race screen is in place
    };
    /// One 10 ms tick, with the window's rectangle read at its start.
    Step tick(const Rect &window);

private:
    void aimAt(const Rect &target);

    Rect available_;
    Rect target_;
    int step_ = 0;
    int closest_ = INT_MAX;
    int ticksWithoutProgress_ = 0;
};
