// Drawing helpers shared by the pictures of make-artwork: the fonts, the
// glossy outlined fill used for every solid shape, blending of colours and a
// flat chequer pattern. All coordinates are in the picture's design space.
#pragma once

#include <QColor>
#include <QFont>
#include <QPainterPath>
#include <QRectF>

class QPainter;

/// A bold (or regular) sans-serif font of the given pixel size.
QFont artFont(qreal pixelSize, bool bold = true);

/// \a a mixed with \a b; \a amountOfB 0 gives a, 1 gives b.
QColor blend(const QColor &a, const QColor &b, qreal amountOfB);

/// Fills \a shape with a top-lit gradient of \a colour and outlines it in a
/// darker shade, so flat shapes read as solid objects on a big screen.
void fillGlossy(QPainter &painter, const QPainterPath &shape, const QColor &colour,
                qreal outlineWidth = 1.0);

/// Black and white squares, \a columns by \a rows, the top-left one black.
void drawChequer(QPainter &painter, const QRectF &area, int columns, int rows);

/// Draws \a text centred on \a centre (both axes) in \a font and \a colour.
void drawCentredText(QPainter &painter, const QPointF &centre, const QString &text,
                     const QFont &font, const QColor &colour);
