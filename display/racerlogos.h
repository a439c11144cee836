// The racers' logos: the work of the logo timer, which loads every seat's logo
// file once, checks it against 150 x 100 px and the name cell the table last
// painted, and then alternates name and logo every second. The loaded images
// are kept here for the table to draw.
#pragma once

#include "config/racesettings.h"
#include "engine/racestate.h"

#include <QImage>

#include <array>

inline constexpr int kMaxLogoWidth = 150;
inline constexpr int kMaxLogoHeight = 100;

class RacerLogos {
public:
    /// One tick of the logo timer: the first loads the logos, every tick
    /// flips `logoPhase` between 1 and 2 and asks for the name column to be
    /// refreshed. The caller invalidates the table.
    void logoTick(const RaceSettings &settings, Race &race);

    /// Loads every seat's logo, writing its status text and, for a usable
    /// logo, a logo rectangle centred in the name cell.
    void load(const RaceSettings &settings, Race &race);

    /// The seat's logo; null when it has none that fits.
    const QImage &logo(int seat) const { return images_[seat]; }

    /// On a tall screen a logo is shown grown by \a scale (its file still
    /// keeps to 150 x 100 px); the logo rectangle is the grown one.
    void setSizeScale(double scale) { scale_ = scale; }

private:
    double scale_ = 1.0;
    std::array<QImage, kSeatCount> images_;
};
