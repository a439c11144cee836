#include "display/racerlogos.h"

#include <QString>

#include <string>

namespace {

constexpr int kNameColumn = 2;

std::string sizeNote(int width, int height)
{
    return "!velikost: " + std::to_string(width) + "x" + std::to_string(height) + "px";
}

bool fitsCell(const QImage &image, const Rect &cell)
{
    return image.width() <= kMaxLogoWidth && image.height() <= kMaxLogoHeight
        && image.width() + 2 <= cell.width() && image.height() + 2 <= cell.height();
}

Rect centredOn(const Rect &cell, int width, int height)
{
    const int mx = cell.left + cell.width() / 2;
    const int my = cell.top + cell.height() / 2;
    return {mx - width / 2, my - height / 2, mx + width / 2, my + height / 2};
}

} // namespace

void RacerLogos::logoTick(const RaceSettings &settings, Race &race)
{
    RaceState &state = race.state;
    if (state.logoPhase == 0) {
        load(settings, race);
        state.logoPhase = 1;
    } else {
        state.logoPhase = state.logoPhase == 1 ? 2 : 1;
    }
    state.refreshColumn = kNameColumn;
}

void RacerLogos::load(const RaceSettings &settings, Race &race)
{
    for (int seat = 0; seat < kSeatCount; ++seat) {
        RacerState &racer = race.racers[seat];
        images_[seat] = QImage();
        const std::string &file = settings.racerLogo[seat];
        if (file.empty()) {
            racer.logoStatusText = "logo není nastaveno";
            continue;
        }
        QImage image(QString::fromStdString(file));
        if (image.isNull()) {
            racer.logoStatusText = "chyba při otevírání souboru";
            continue;
        }
        if (!fitsCell(image, racer.logoRect)) {
            racer.logoStatusText = sizeNote(image.width(), image.height());
            continue;
        }
        racer.logoStatusText.clear();
        racer.logoRect = centredOn(racer.logoRect, image.width(), image.height());
        images_[seat] = std::move(image);
    }
}
