// A race ready for its table: settings with the first n racers in use, the
// race screen up, and the table painted into an image that keeps its pixels
// between paints, as the widget's backing store does.
#pragma once

#include "config/racesettings.h"
#include "display/racerlogos.h"
#include "display/racetablepainter.h"
#include "display/tablelayout.h"
#include "display/tablepictures.h"
#include "engine/geometry.h"
#include "engine/racestate.h"

#include <QImage>
#include <QRect>
#include <QTemporaryDir>

#include <ostream>

void PrintTo(const Rgb &colour, std::ostream *out);
void PrintTo(const Rect &rect, std::ostream *out);

inline constexpr Rgb kMarker{255, 0, 255}; // a colour the table never paints

Rgb rgbAt(const QImage &image, int x, int y);
/// A one-colour picture; the file name's suffix picks the format.
bool savePicture(const QString &path, QSize size, Rgb colour);
/// A cell without its outline.
QRect inside(const Rect &cell);

struct TableOptions {
    int racers = 3;
    int arrangement = 0;
    int scheme = 0;
    QSize size{1280, 1024};
    /// The growth of the fixed sizes (a screen taller than 1080 lines).
    double scale = 1.0;
    /// Where the table's pictures are read; by default nowhere, so no picture is drawn.
    QString pictureLocation = QStringLiteral("/nonexistent/");
};

/// A folder of one-colour pictures standing in for the table's numbered ones.
struct PictureFolder {
    void add(int number, QSize size, Rgb colour)
    {
        savePicture(dir.filePath(QStringLiteral("bitmap%1.png").arg(number)), size, colour);
    }
    QString location() const { return dir.path() + QLatin1Char('/'); }
    QTemporaryDir dir;
};

RaceSettings tableSettings(const TableOptions &options);

struct TableFixture {
    explicit TableFixture(const TableOptions &options = {});

    PaintResult paint();
    /// Covers the whole image with the marker colour, so a later paint shows what it touched.
    void mark() { image.fill(QColor(kMarker.red, kMarker.green, kMarker.blue)); }
    Rgb at(int x, int y) const { return rgbAt(image, x, y); }
    bool contains(const QRect &area, Rgb colour) const { return count(area, colour) > 0; }
    bool filledWith(const QRect &area, Rgb colour) const { return count(area, colour) == area.width() * area.height(); }
    int count(const QRect &area, Rgb colour) const;
    /// The cell of column \a column in slot \a slot as the table lays it out.
    Rect cell(int column, int slot) const;

    RaceSettings settings;
    Race race;
    RacerLogos logos;
    TablePictures pictures;
    RaceTablePainter painter;
    QImage image;
    TableRows rows;
};
