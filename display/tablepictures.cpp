#include "display/tablepictures.h"

#include <utility>

TablePictures::TablePictures(QString location) : location_(std::move(location)) {}

const QImage &TablePictures::picture(int number, double ratio)
{
    const bool twice = ratio > 1.0;
    auto found = pictures_.find({number, twice});
    if (found != pictures_.end())
        return found->second;
    if (!twice)
        return pictures_.emplace(std::pair{number, false}, QImage(location_ + QStringLiteral("bitmap%1.png").arg(number)))
            .first->second;
    QImage image(location_ + QStringLiteral("bitmap%1@2x.png").arg(number));
    if (image.isNull())
        image = picture(number);
    else
        image.setDevicePixelRatio(2.0);
    return pictures_.emplace(std::pair{number, true}, std::move(image)).first->second;
}
