#include "engine/windowpin.h"

bool WindowPin::shouldPin(const Rect &window, std::int32_t nowMs)
{
    if (window == home_)
        return false;
    // A ring of the latest pins: the slot to fill next holds the oldest.
    std::int32_t &oldest = recentPinsMs_[next_];
    if (kept_ == kPinsPerBurst && nowMs - oldest < kBurstMs)
        return false;
    oldest = nowMs;
    next_ = (next_ + 1) % kPinsPerBurst;
    if (kept_ < kPinsPerBurst)
        ++kept_;
    return true;
}
