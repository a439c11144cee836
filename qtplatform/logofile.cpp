#include "qtplatform/logofile.h"

#include <QFileInfo>
#include <QImageReader>

LogoFile readLogoFile(const QString &path, const std::function<bool(const QSize &)> &fits)
{
    if (!QFileInfo(path).isFile())
        return {};
    QImageReader reader(path, "bmp");
    LogoFile logo;
    logo.size = reader.size();
    // A size the header does not tell only decoding can.
    if (!logo.size.isValid() || fits(logo.size)) {
        logo.image = reader.read();
        if (logo.image.isNull())
            return {};
        logo.size = logo.image.size();
    }
    if (!fits(logo.size)) {
        logo.image = QImage();
        logo.status = LogoFile::Status::TooLarge;
        return logo;
    }
    logo.status = LogoFile::Status::Loaded;
    return logo;
}
