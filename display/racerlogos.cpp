#include "display/racerlogos.h"

#include "qtplatform/logofile.h"

#include <QString>

#include <string>

namespace {

constexpr int kNameColumn = 2;
constexpr const char *kLoadErrorText = "chyba při otevírání souboru";

std::string sizeNote(int width, int height)
{
    return "!velikost: " + std::to_string(width) + "x" + std::to_string(height) + "px";
}

bool fitsCell(const QSize &size, const Rect &cell, double scale)
{
    const QSize shown = size * scale;
    return size.width() <= kMaxLogoWidth && size.height() <= kMaxLogoHeight && shown.width() + 2 <= cell.width()
        && shown.height() + 2 <= cell.height();
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
        LogoFile logo = readLogoFile(QString::fromStdString(file),
                                     [&racer, this](const QSize &size) { return fitsCell(size, racer.logoRect, scale_); });
        if (logo.status == LogoFile::Status::Unreadable) {
            racer.logoStatusText = kLoadErrorText;
            continue;
        }
        if (logo.status == LogoFile::Status::TooLarge) {
            racer.logoStatusText = sizeNote(logo.size.width(), logo.size.height());
            continue;
        }
        racer.logoStatusText.clear();
        const QSize shown = logo.size * scale_;
        racer.logoRect = centredOn(racer.logoRect, shown.width(), shown.height());
        images_[seat] = std::move(logo.image);
    }
}
