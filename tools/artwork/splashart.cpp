#include "splashart.h"

#include "artcanvas.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace {

// The upper edge of the track, sweeping across the picture.
QPainterPath trackEdge(qreal offset)
{
    QPainterPath edge(QPointF(-10.0, 132.0 + offset));
    edge.cubicTo(QPointF(110.0, 104.0 + offset), QPointF(240.0, 136.0 + offset),
                 QPointF(360.0, 112.0 + offset));
    return edge;
}

void drawSky(QPainter &painter)
{
    QLinearGradient sky(0, 0, 0, kSplashHeight);
    sky.setColorAt(0.0, QColor(10, 24, 60));
    sky.setColorAt(0.7, QColor(34, 78, 156));
    painter.fillRect(QRectF(0, 0, kSplashWidth, kSplashHeight), sky);

    QRadialGradient light(QPointF(280.0, 40.0), 160.0);
    light.setColorAt(0.0, QColor(120, 170, 255, 90));
    light.setColorAt(1.0, QColor(120, 170, 255, 0));
    painter.fillRect(QRectF(0, 0, kSplashWidth, kSplashHeight), light);
}

void drawTrack(QPainter &painter)
{
    QPainterPath asphalt = trackEdge(0.0);
    asphalt.lineTo(360.0, 180.0);
    asphalt.lineTo(-10.0, 180.0);
    asphalt.closeSubpath();

    painter.setPen(QPen(QColor(40, 150, 60), 16.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(trackEdge(-6.0));

    QLinearGradient tarmac(0, 105, 0, kSplashHeight);
    tarmac.setColorAt(0.0, QColor(92, 96, 104));
    tarmac.setColorAt(1.0, QColor(44, 46, 52));
    painter.setPen(Qt::NoPen);
    painter.setBrush(tarmac);
    painter.drawPath(asphalt);

    // Kerb: white under red dashes along the edge.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white, 5.0, Qt::SolidLine, Qt::FlatCap));
    painter.drawPath(trackEdge(0.0));
    QPen kerb(QColor(222, 30, 38), 5.0, Qt::CustomDashLine, Qt::FlatCap);
    kerb.setDashPattern({1.6, 1.6});
    painter.setPen(kerb);
    painter.drawPath(trackEdge(0.0));

    QPen laneLine(QColor(235, 235, 235, 200), 1.6, Qt::CustomDashLine, Qt::FlatCap);
    laneLine.setDashPattern({8.0, 6.0});
    painter.setPen(laneLine);
    painter.drawPath(trackEdge(27.0));
}

// A low sports-prototype in side view, facing right, in a 120 x 40 box.
void drawRaceCar(QPainter &painter, const QPointF &origin)
{
    painter.save();
    painter.translate(origin);

    QRadialGradient shadow(QPointF(60.0, 39.0), 60.0);
    shadow.setColorAt(0.0, QColor(0, 0, 0, 130));
    shadow.setColorAt(1.0, QColor(0, 0, 0, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(shadow);
    painter.drawEllipse(QPointF(60.0, 39.0), 62.0, 5.0);

    painter.setBrush(QColor(30, 30, 34));
    painter.drawRect(QRectF(5.0, 10.0, 3.0, 10.0)); // wing strut
    QPainterPath wing;
    wing.addRoundedRect(QRectF(0.0, 7.0, 16.0, 4.0), 1.0, 1.0);
    fillGlossy(painter, wing, QColor(200, 20, 30), 0.8);

    QPainterPath body(QPointF(3.0, 33.0));
    body.lineTo(3.0, 19.0);
    body.cubicTo(QPointF(20.0, 16.0), QPointF(38.0, 15.0), QPointF(50.0, 14.0));
    body.cubicTo(QPointF(56.0, 5.0), QPointF(72.0, 4.0), QPointF(80.0, 13.0));
    body.cubicTo(QPointF(96.0, 16.0), QPointF(112.0, 21.0), QPointF(119.0, 29.0));
    body.lineTo(117.0, 33.0);
    body.closeSubpath();
    fillGlossy(painter, body, QColor(214, 24, 34), 1.0);

    QPainterPath canopy(QPointF(55.0, 14.0));
    canopy.cubicTo(QPointF(60.0, 8.0), QPointF(70.0, 7.0), QPointF(76.0, 13.5));
    canopy.closeSubpath();
    QLinearGradient glass(0, 7, 0, 14);
    glass.setColorAt(0.0, QColor(190, 225, 255));
    glass.setColorAt(1.0, QColor(30, 60, 110));
    painter.setPen(QPen(QColor(20, 20, 30), 0.8));
    painter.setBrush(glass);
    painter.drawPath(canopy);

    painter.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(8.0, 24.0), QPointF(112.0, 27.5));

    painter.setPen(QPen(QColor(30, 30, 30), 0.8));
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(40.0, 22.0), 6.0, 6.0);
    drawCentredText(painter, QPointF(40.0, 22.0), QStringLiteral("7"), artFont(8.5),
                    QColor(20, 20, 20));

    for (const qreal x : {24.0, 96.0}) {
        painter.setPen(QPen(QColor(10, 10, 10), 0.8));
        painter.setBrush(QColor(28, 28, 30));
        painter.drawEllipse(QPointF(x, 32.0), 8.0, 8.0);
        painter.setBrush(QColor(180, 184, 190));
        painter.drawEllipse(QPointF(x, 32.0), 3.6, 3.6);
    }
    painter.restore();
}

void drawSpeedLines(QPainter &painter)
{
    for (int i = 0; i < 3; ++i) {
        const qreal y = 123.0 + i * 6.0;
        const qreal x = 150.0 + i * 6.0;
        QLinearGradient fade(x, 0, x + 50.0, 0);
        fade.setColorAt(0.0, QColor(255, 255, 255, 0));
        fade.setColorAt(1.0, QColor(255, 255, 255, 170));
        painter.setPen(QPen(QBrush(fade), 1.6, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(x, y), QPointF(x + 50.0, y));
    }
}

void drawTitle(QPainter &painter)
{
    QFont title = artFont(46.0);
    title.setItalic(true);
    painter.setFont(title);
    painter.setPen(QColor(0, 0, 0, 120));
    painter.drawText(QPointF(22.0, 72.0), QStringLiteral("Tramelo"));
    painter.setPen(Qt::white);
    painter.drawText(QPointF(20.0, 70.0), QStringLiteral("Tramelo"));

    painter.setPen(QPen(QColor(230, 40, 48), 3.0, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(22.0, 79.0), QPointF(210.0, 79.0));

    painter.setFont(artFont(12.5, false));
    painter.setPen(QColor(214, 228, 255));
    painter.drawText(QPointF(22.0, 98.0), QStringLiteral("Základní program modelové autodráhy"));
}

} // namespace

void drawSplash(QPainter &painter)
{
    painter.save();
    drawSky(painter);
    drawChequer(painter, QRectF(0.0, 0.0, kSplashWidth, 14.0), 50, 2);
    drawTrack(painter);
    drawSpeedLines(painter);
    drawRaceCar(painter, QPointF(210.0, 104.0));
    drawTitle(painter);
    painter.restore();
}
