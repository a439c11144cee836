// Runs a GUI test on the offscreen platform with a screen of a chosen size,
// so window geometry follows a known screen.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

/// Points the offscreen platform at a one-screen configuration of
/// \a width x \a height pixels; call before the application object exists.
inline void useOffscreenScreen(int width, int height)
{
    const QString path = QDir::temp().filePath(QStringLiteral("tramelo-screen-%1x%2.json").arg(width).arg(height));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(QStringLiteral(R"({"screens":[{"name":"test","x":0,"y":0,"width":%1,"height":%2,)"
                                  R"("logicalDpi":96,"logicalBaseDpi":96,"dpr":1}]})")
                       .arg(width)
                       .arg(height)
                       .toUtf8());
    }
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + path.toUtf8());
}
