#include "display/tablepictures.h"

#include <utility>

TablePictures::TablePictures(QString location) : location_(std::move(location)) {}

const QImage &TablePictures::picture(int number)
{
    auto found = pictures_.find(number);
    if (found == pictures_.end())
        found = pictures_.emplace(number, QImage(location_ + QStringLiteral("bitmap%1.png").arg(number))).first;
    return found->second;
}
