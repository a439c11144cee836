#include "tablefixture.h"

#include <QPainter>

#include <array>

void PrintTo(const Rgb &colour, std::ostream *out)
{
    *out << "Rgb(" << int(colour.red) << ", " << int(colour.green) << ", " << int(colour.blue) << ")";
}

void PictureFolder::add(int number, QSize size, Rgb colour)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(QColor(colour.red, colour.green, colour.blue));
    picture.save(dir.filePath(QStringLiteral("bitmap%1.png").arg(number)));
}

RaceSettings tableSettings(const TableOptions &options)
{
    RaceSettings settings;
    for (int seat = 0; seat < options.racers; ++seat)
        settings.racerName[seat] = "Jezdec " + std::to_string(seat + 1);
    settings.racerArrangement = std::to_string(options.arrangement);
    settings.colourScheme = std::to_string(options.scheme);
    return settings;
}

TableFixture::TableFixture(const TableOptions &options)
    : settings(tableSettings(options)), race(settings), pictures(options.pictureLocation),
      painter(race, settings, logos, pictures), image(options.size, QImage::Format_RGB32),
      rows(tableRows(arrangementFromSetting(options.arrangement), settings.activeRacerCount(), options.size.height()))
{
    race.state.slidePhase = 4;
    race.state.raceScreenReady = true;
    mark();
}

PaintResult TableFixture::paint()
{
    QPainter surface(&image);
    return painter.paint(surface, image.size());
}

void TableFixture::mark()
{
    image.fill(QColor(kMarker.red, kMarker.green, kMarker.blue));
}

Rgb TableFixture::at(int x, int y) const
{
    const QRgb pixel = image.pixel(x, y);
    return {static_cast<std::uint8_t>(qRed(pixel)), static_cast<std::uint8_t>(qGreen(pixel)),
            static_cast<std::uint8_t>(qBlue(pixel))};
}

bool TableFixture::contains(const QRect &area, Rgb colour) const
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (at(x, y) == colour)
                return true;
    return false;
}

bool TableFixture::filledWith(const QRect &area, Rgb colour) const
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (at(x, y) != colour)
                return false;
    return true;
}

Rect TableFixture::cell(int column, int slot) const
{
    const std::array<int, kColumnCount> widths = columnWidths(image.width());
    int left = 0;
    for (int i = 0; i < column; ++i)
        left += widths[i];
    return {left, rows.rowTop(slot), left + widths[column], rows.rowBottom(slot)};
}
