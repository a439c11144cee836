#include "picturecatalog.h"

#include "buttonart.h"
#include "flagart.h"
#include "gaugeart.h"
#include "iconart.h"
#include "signart.h"
#include "splashart.h"

#include <QPainter>

namespace {

QString bitmapName(int number)
{
    return QStringLiteral("bitmap%1.png").arg(number);
}

Picture bitmap(int number, QSize size, std::function<void(QPainter &)> draw)
{
    return {bitmapName(number), size, size, true, std::move(draw)};
}

Picture icon(const QString &fileName, int pixels, int designPixels,
             std::function<void(QPainter &)> draw)
{
    return {fileName, QSize(pixels, pixels), QSize(designPixels, designPixels), false,
            std::move(draw)};
}

} // namespace

std::vector<Picture> pictureCatalog()
{
    const QSize flag(kFlagWidth, kFlagHeight);
    std::vector<Picture> pictures;

    pictures.push_back(bitmap(102, QSize(kSplashWidth, kSplashHeight), drawSplash));

    // Flag column: resource 115 + flagCode.
    pictures.push_back(bitmap(115, flag, [](QPainter &p) { drawPlainFlag(p, QColor(78, 80, 86)); }));
    pictures.push_back(bitmap(116, flag, [](QPainter &p) { drawPlainFlag(p, QColor(28, 168, 62)); }));
    pictures.push_back(bitmap(117, flag, drawChequeredFlag));
    for (int digit = 1; digit <= 3; ++digit)
        pictures.push_back(
            bitmap(117 + digit, flag, [digit](QPainter &p) { drawNumberedFlag(p, digit); }));
    pictures.push_back(bitmap(121, flag, drawFuelWarningSign));
    pictures.push_back(bitmap(122, flag, drawFuelDutySign));

    // Tank column: resource 122 + tankText, so tank 1 (123) shows no bar lit.
    for (int lit = 0; lit <= kGaugeBars; ++lit)
        pictures.push_back(
            bitmap(123 + lit, QSize(52, 69), [lit](QPainter &p) { drawTankGauge(p, lit); }));
    pictures.push_back(bitmap(131, QSize(70, 70), drawFullTankGauge));

    // Button faces sit on the button's own background.
    pictures.push_back({bitmapName(132), QSize(30, 30), QSize(30, 30), false, drawGoArrow});
    pictures.push_back({bitmapName(133), QSize(30, 30), QSize(30, 30), false, drawDisqualifyCross});

    pictures.push_back(icon(QStringLiteral("icon101.png"), kAppIconSize, kAppIconSize, drawAppIcon));
    for (const int pixels : {32, 48})
        pictures.push_back(icon(QStringLiteral("icon101-%1.png").arg(pixels), pixels, kAppIconSize,
                                drawAppIcon));
    const std::pair<int, QColor> floppies[] = {
        {107, QColor(214, 36, 40)}, {108, QColor(40, 170, 64)}, {109, QColor(245, 140, 20)}};
    for (const auto &[number, colour] : floppies)
        pictures.push_back(icon(QStringLiteral("icon%1.png").arg(number), kFloppySize, kFloppySize,
                                [colour](QPainter &p) { drawFloppyDisk(p, colour); }));
    return pictures;
}

QImage renderPicture(const Picture &picture, int ratio)
{
    QImage image(picture.size * ratio,
                 picture.opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    image.fill(picture.opaque ? Qt::white : Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing
                           | QPainter::SmoothPixmapTransform);
    painter.scale(qreal(picture.size.width() * ratio) / picture.designSize.width(),
                  qreal(picture.size.height() * ratio) / picture.designSize.height());
    picture.draw(painter);
    painter.end();
    return image;
}
