#include "contactsheet.h"

#include "artcanvas.h"

#include <QPainter>

#include <algorithm>

namespace {

constexpr int kSheetWidth = 1400;
constexpr int kSpacing = 16;
constexpr int kLabelHeight = 18;
constexpr int kMinimumTileWidth = 170; // room for the label under small pictures

// Grey squares under each picture, so transparent pixels are visible.
void drawTransparencyBackdrop(QPainter &painter, const QRect &area)
{
    constexpr int kCell = 8;
    painter.fillRect(area, QColor(200, 200, 200));
    for (int y = area.top(); y < area.bottom(); y += kCell)
        for (int x = area.left() + ((y - area.top()) / kCell % 2) * kCell; x < area.right();
             x += 2 * kCell)
            painter.fillRect(QRect(x, y, kCell, kCell).intersected(area), QColor(160, 160, 160));
}

} // namespace

QImage contactSheet(const std::vector<Picture> &pictures, int zoom)
{
    // Lay the tiles out in rows first, to know the sheet's height.
    struct Tile {
        QImage image;
        QString label;
        QPoint at;
    };
    std::vector<Tile> tiles;
    QPoint cursor(kSpacing, kSpacing);
    int rowHeight = 0;
    for (const Picture &picture : pictures) {
        const int scale = picture.size.width() * zoom > kSheetWidth - 2 * kSpacing ? 1 : zoom;
        const QImage image = renderPicture(picture).scaled(picture.size * scale);
        const int tileWidth = std::max(image.width(), kMinimumTileWidth);
        if (cursor.x() + tileWidth > kSheetWidth - kSpacing) {
            cursor = QPoint(kSpacing, cursor.y() + rowHeight + kSpacing);
            rowHeight = 0;
        }
        tiles.push_back({image, QStringLiteral("%1 (%2 × %3)")
                                    .arg(picture.fileName)
                                    .arg(picture.size.width())
                                    .arg(picture.size.height()),
                         cursor});
        cursor.rx() += tileWidth + kSpacing;
        rowHeight = std::max(rowHeight, image.height() + kLabelHeight);
    }

    QImage sheet(kSheetWidth, cursor.y() + rowHeight + kSpacing, QImage::Format_RGB32);
    sheet.fill(QColor(245, 245, 245));
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(artFont(11.0, false));
    for (const Tile &tile : tiles) {
        const QRect area(tile.at, tile.image.size());
        drawTransparencyBackdrop(painter, area);
        painter.drawImage(area, tile.image);
        painter.setPen(QColor(40, 40, 40));
        painter.drawText(QPoint(area.left(), area.bottom() + kLabelHeight - 3), tile.label);
    }
    return sheet;
}
