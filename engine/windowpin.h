// Keeps the race screen where the grow-back left it: a window moved away is
// put back. The place is one the window manager has accepted, so pinning
// never fights it; should it still answer pins by moving the window elsewhere
// (a panel appearing, a workspace change), the pin gives up after a few quick
// tries instead of moving the window back and forth for ever.
#pragma once

#include "engine/geometry.h"

#include <array>
#include <cstdint>

class WindowPin {
public:
    /// At most this many pins within kBurstMs; more would be a fight.
    static constexpr int kPinsPerBurst = 3;
    static constexpr std::int32_t kBurstMs = 1000;

    explicit WindowPin(const Rect &home) : home_(home) {}

    const Rect &home() const { return home_; }

    /// The window was moved and is now at \a window; \a nowMs is the host
    /// clock. Returns whether to move it back home.
    bool shouldPin(const Rect &window, std::int32_t nowMs);

private:
    Rect home_;
    std::array<std::int32_t, kPinsPerBurst> recentPinsMs_{};
    int next_ = 0;
    int kept_ = 0;
};
