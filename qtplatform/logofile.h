// Reading a racer's logo picture, for the race table and the racers dialog:
// one rule for both, so a file the dialog refuses never shows in the table.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>

struct LogoFile {
    enum class Status { Loaded, Unreadable, TooLarge };
    Status status = Status::Unreadable;
    QImage image; ///< the picture when Loaded
    QSize size;   ///< its size when Loaded or TooLarge
};

/// Reads the bitmap (BMP) in \a path, a regular file only: a named pipe would
/// hold the window until some program writes to it. Logos are bitmaps: a file
/// of any other format is Unreadable, whatever its name. The size in the
/// header is checked with \a fits first, so an oversized picture (even one
/// declaring 100000 x 100000 px) is refused without being decoded.
LogoFile readLogoFile(const QString &path, const std::function<bool(const QSize &)> &fits);
