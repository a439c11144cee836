// Plain screen geometry shared by the engine and the display: rectangles in
// pixels (left, top, right, bottom, right and bottom exclusive) and colours.
#pragma once

#include <cstdint>

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const Rect &) const = default;
};

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    bool operator==(const Rgb &) const = default;
};
