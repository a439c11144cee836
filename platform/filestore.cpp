#include "platform/filestore.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

bool writeDirectly(const QString &path, const QByteArray &data)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const bool written = file.write(data) == data.size() && file.flush();
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

} // namespace

FileContents readWholeFile(const std::string &path, std::size_t maxBytes)
{
    const QString name = QString::fromStdString(path);
    QFile file(name);
    if (QFileInfo(name).isDir() || !file.open(QIODevice::ReadOnly))
        return {ReadStatus::CannotOpen, {}};
    // One byte more than allowed tells a file that is too large, even one
    // whose size is not known in advance (a device or a pipe).
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
    // A temporary file renamed over a device would replace the device node
    // itself, so devices and pipes are written in place.
    const QFileInfo info(name);
    if (info.exists() && !info.isFile() && !info.isDir())
        return writeDirectly(name, data);

    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // Without a commit the temporary file is discarded and the old file stays.
    if (file.write(data) != data.size())
        return false;
    return file.commit();
}
