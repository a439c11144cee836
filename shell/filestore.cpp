#include "shell/filestore.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

FileContents readWholeFile(const std::string &path, std::size_t maxBytes)
{
    const QString name = QString::fromStdString(path);
    QFile file(name);
    // Only regular files: opening a named pipe waits for a writer that may
    // never come, and a device is no settings file.
    if (!QFileInfo(name).isFile() || !file.open(QIODevice::ReadOnly))
        return {ReadStatus::CannotOpen, {}};
    // One byte more than allowed tells a file that is too large, even one
    // that grows while it is read.
    const QByteArray bytes = file.read(static_cast<qint64>(maxBytes) + 1);
    if (file.error() != QFileDevice::NoError)
        return {ReadStatus::CannotOpen, {}};
    if (static_cast<std::size_t>(bytes.size()) > maxBytes)
        return {ReadStatus::TooLarge, {}};
    return {ReadStatus::Ok, bytes.toStdString()};
}

bool replaceWholeFile(const std::string &path, const std::string &bytes)
{
    const QString name = QString::fromStdString(path);
    const QByteArray data = QByteArray::fromStdString(bytes);
    // Only regular files are replaced: a temporary file renamed over a device
    // would replace the device node itself, and opening a named pipe waits
    // for a reader that may never come.
    const QFileInfo info(name);
    if (info.exists() && !info.isFile())
        return false;

    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // Without a commit the temporary file is discarded and the old file stays.
    if (file.write(data) != data.size())
        return false;
    return file.commit();
}
