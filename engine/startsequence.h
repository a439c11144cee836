// Screen arithmetic of the start: where the five start lights stand, and how
// the main window slides down before the countdown and grows back after it.
#pragma once

#include "engine/geometry.h"

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

/// One 10 ms step of the grow-back towards the full screen.
Rect growBackStep(const Rect &window, int screenWidth, int screenHeight);
