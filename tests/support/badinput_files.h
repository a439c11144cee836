// Bad files for the tests of what users and files can feed the program: a
// bitmap cut short, a bitmap whose header declares a huge size, a file that
// is no picture, and a named pipe that nobody ever opens from the other end.
#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace badinput {

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

/// The first half of a valid 60 x 40 BMP file.
inline bool writeTruncatedBitmap(const QString &path)
{
    QImage image(60, 40, QImage::Format_RGB32);
    image.fill(Qt::darkRed);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "BMP"))
        return false;
    return writeFile(path, bytes.left(bytes.size() / 2));
}

/// A BMP file whose headers declare \a width x \a height pixels at 24 bits,
/// followed by a few bytes instead of the pixels.
inline bool writeBitmapDeclaring(const QString &path, std::int32_t width, std::int32_t height)
{
    QByteArray bytes;
    auto put = [&bytes](std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes.append(static_cast<char>(value >> (8 * i) & 0xFF));
    };
    bytes.append("BM");
    put(54 + 16, 4); // file size
    put(0, 4);       // reserved
    put(54, 4);      // offset of the pixels
    put(40, 4);      // info header size
    put(static_cast<std::uint32_t>(width), 4);
    put(static_cast<std::uint32_t>(height), 4);
    put(1, 2);  // planes
    put(24, 2); // bits per pixel
    for (int i = 0; i < 6; ++i)
        put(0, 4); // no compression, image size, resolution, colours
    bytes.append(QByteArray(16, '\x7F'));
    return writeFile(path, bytes);
}

/// A named pipe that nobody writes to or reads from. Code that opens it the
/// usual way waits for the other end; should a test's code do that, a
/// watchdog opens the other end after two seconds, so the test fails
/// (wasWaitedOn) instead of hanging.
class UnattendedPipe {
public:
    explicit UnattendedPipe(const QString &path) : path_(path.toStdString())
    {
        created_ = ::mkfifo(path_.c_str(), 0600) == 0;
        watchdog_ = std::thread([this] { watch(); });
    }
    ~UnattendedPipe()
    {
        stopWatching();
        ::unlink(path_.c_str());
    }
    UnattendedPipe(const UnattendedPipe &) = delete;
    UnattendedPipe &operator=(const UnattendedPipe &) = delete;

    bool created() const { return created_; }
    /// Ends the watch; true when the watchdog had to release a waiting open.
    bool wasWaitedOn()
    {
        stopWatching();
        return released_;
    }

private:
    void watch()
    {
        std::unique_lock lock(mutex_);
        if (stopped_.wait_for(lock, std::chrono::seconds(2), [this] { return stop_; }))
            return;
        released_ = true;
        // Both ends at once: releases a waiting reader and a waiting writer.
        const int fd = ::open(path_.c_str(), O_RDWR | O_NONBLOCK);
        stopped_.wait_for(lock, std::chrono::milliseconds(200), [this] { return stop_; });
        if (fd >= 0)
            ::close(fd);
    }
    void stopWatching()
    {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        stopped_.notify_all();
        if (watchdog_.joinable())
            watchdog_.join();
    }

    std::string path_;
    bool created_ = false;
    std::mutex mutex_;
    std::condition_variable stopped_;
    bool stop_ = false;
    std::atomic<bool> released_{false};
    std::thread watchdog_;
};

} // namespace badinput
