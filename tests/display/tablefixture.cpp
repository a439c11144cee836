#include "tablefixture.h"

#include "display/qtgeometry.h"

#include <QPainter>

void PrintTo(const Rgb &colour, std::ostream *out)
{
    *out << "Rgb(" << int(colour.red) << ", " << int(colour.green) << ", " << int(colour.blue) << ")";
}

void PrintTo(const Rect &rect, std::ostream *out)
{
    *out << "Rect(" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << ")";
}

Rgb rgbAt(const QImage &image, int x, int y)
{
    const QRgb pixel = image.pixel(x, y);
    return {std::uint8_t(qRed(pixel)), std::uint8_t(qGreen(pixel)), std::uint8_t(qBlue(pixel))};
}

bool savePicture(const QString &path, QSize size, Rgb colour)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(toQColor(colour));
    return picture.save(path);
}

QRect inside(const Rect &cell)
{
    return toQRect(cell).adjusted(1, 1, -1, -1);
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
      rows(tableRows(arrangementFromSetting(options.arrangement), settings.activeRacerCount(), options.size.height(),
                     scaledSize(kHeaderHeight, options.scale)))
{
    painter.setSizeScale(options.scale);
    race.state.slidePhase = 4;
    race.state.raceScreenReady = true;
    mark();
}

PaintResult TableFixture::paint()
{
    QPainter surface(&image);
    return painter.paint(surface, image.size());
}

int TableFixture::count(const QRect &area, Rgb colour) const
{
    int found = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            found += at(x, y) == colour;
    return found;
}

Rect TableFixture::cell(int column, int slot) const
{
    const std::array<int, kColumnCount> widths = columnWidths(image.width());
    int left = 0;
    for (int i = 0; i < column; ++i)
        left += widths[i];
    return {left, rows.rowTop(slot), left + widths[column], rows.rowBottom(slot)};
}
