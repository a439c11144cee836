#include "record/linecapture.h"

#include "record/fileerror.h"
#include "record/writeall.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

// kind, time, length: one byte and two little-endian 32-bit numbers.
constexpr std::size_t kChunkHeaderBytes = 9;
constexpr std::uintmax_t kMaxCaptureBytes = std::uintmax_t(1) << 30;
// The port hands over some 23 bytes at a time; even minutes of the line
// gathered during a stall stay far below this: a longer chunk is damaged.
constexpr std::uint32_t kMaxChunkBytes = 1u << 20;

void appendLittleEndian(std::string &out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

std::uint32_t readLittleEndian(std::string_view bytes)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

/// Why a chunk with this header cannot be one the writer made; empty if it can.
std::string chunkDamage(LineChunk::Kind kind, std::uint32_t atMs, std::uint32_t length,
                        const std::vector<LineChunk> &before)
{
    if (kind != LineChunk::Kind::Bytes && kind != LineChunk::Kind::Purge) {
        char code[8];
        std::snprintf(code, sizeof code, "0x%02X", static_cast<unsigned char>(kind));
        return std::string("unknown chunk kind ") + code;
    }
    if (kind == LineChunk::Kind::Purge && length != 0)
        return "a purge chunk that claims " + std::to_string(length) + " bytes";
    if (length > kMaxChunkBytes)
        return "a chunk of " + std::to_string(length) + " bytes, more than the port ever hands over at once";
    if (!before.empty() && atMs < before.back().atMs)
        return "its time goes back from " + std::to_string(before.back().atMs) + " to " + std::to_string(atMs) + " ms";
    return {};
}

constexpr std::uintmax_t kCheckSpaceEvery = 8u << 10;

std::optional<std::uintmax_t> freeBytes(const char *path)
{
    struct statvfs disk {};
    if (::statvfs(path, &disk) != 0)
        return std::nullopt;
    return std::uintmax_t(disk.f_bavail) * disk.f_frsize;
}

std::string spaceReason(std::uintmax_t freeBytes)
{
    return "na disku zbývá jen " + std::to_string(freeBytes >> 10)
           + " KiB volného místa a to patří záznamu závodu (disk je téměř plný)";
}

void setError(std::string *error, std::string text)
{
    if (error)
        *error = std::move(text);
}

} // namespace

std::unique_ptr<LineCaptureWriter> LineCaptureWriter::open(const std::filesystem::path &file,
                                                           FailureHandler onFailure, std::uintmax_t leaveFree)
{
    const auto failed = [&onFailure](int error, const std::string &reason) {
        errno = error;
        onFailure(reason);
        return nullptr;
    };
    if (const std::optional<std::uintmax_t> free = freeBytes(file.parent_path().c_str()); free && *free < leaveFree)
        return failed(ENOSPC, spaceReason(*free));
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        const int error = errno;
        return failed(error, fileErrorReason(error));
    }
    if (!writeAll(fd, kLineCaptureMagic)) {
        const int error = errno;
        ::close(fd);
        return failed(error, fileErrorReason(error));
    }
    return std::unique_ptr<LineCaptureWriter>(new LineCaptureWriter(fd, std::move(onFailure), leaveFree));
}

LineCaptureWriter::LineCaptureWriter(int fd, FailureHandler onFailure, std::uintmax_t leaveFree)
    : fd_(fd), onFailure_(std::move(onFailure)), leaveFree_(leaveFree)
{
}

LineCaptureWriter::~LineCaptureWriter()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void LineCaptureWriter::bytesReceived(std::uint32_t atMs, std::string_view bytes)
{
    if (!bytes.empty())
        writeChunk(LineChunk::Kind::Bytes, atMs, bytes);
}

void LineCaptureWriter::purged(std::uint32_t atMs)
{
    writeChunk(LineChunk::Kind::Purge, atMs, {});
}

void LineCaptureWriter::writeChunk(LineChunk::Kind kind, std::uint32_t atMs, std::string_view bytes)
{
    if (fd_ < 0)
        return;
    // One write per chunk: a killed program leaves at most the last one cut.
    buffer_.clear();
    buffer_.push_back(static_cast<char>(kind));
    appendLittleEndian(buffer_, atMs);
    appendLittleEndian(buffer_, static_cast<std::uint32_t>(bytes.size()));
    buffer_.append(bytes);
    if (!writeAll(fd_, buffer_)) {
        fail(errno);
        return;
    }
    // Looked at about once a second of the line: cheap, and soon enough to
    // leave the journal its room.
    sinceCheck_ += buffer_.size();
    if (sinceCheck_ >= kCheckSpaceEvery) {
        sinceCheck_ = 0;
        struct statvfs disk {};
        if (::fstatvfs(fd_, &disk) == 0 && std::uintmax_t(disk.f_bavail) * disk.f_frsize < leaveFree_)
            giveWay(std::uintmax_t(disk.f_bavail) * disk.f_frsize);
    }
}

void LineCaptureWriter::fail(int error)
{
    ::close(fd_);
    fd_ = -1;
    failed_ = true;
    errno = error;
    onFailure_(fileErrorReason(error));
}

void LineCaptureWriter::giveWay(std::uintmax_t freeBytes)
{
    ::close(fd_);
    fd_ = -1;
    failed_ = true;
    errno = ENOSPC;
    onFailure_(spaceReason(freeBytes));
}

std::optional<LineCapture> parseLineCapture(std::string_view data, std::string *error)
{
    if (!data.starts_with(kLineCaptureMagic)) {
        setError(error, "not a line capture of this program (or of a newer version)");
        return std::nullopt;
    }
    const char *const begin = data.data();
    data.remove_prefix(kLineCaptureMagic.size());
    LineCapture capture;
    while (!data.empty()) {
        if (data.size() < kChunkHeaderBytes) {
            capture.cutShort = true;
            break;
        }
        const auto kind = static_cast<LineChunk::Kind>(data[0]);
        const std::uint32_t atMs = readLittleEndian(data.substr(1, 4));
        const std::uint32_t length = readLittleEndian(data.substr(5, 4));
        capture.damage = chunkDamage(kind, atMs, length, capture.chunks);
        if (!capture.damage.empty())
            break;
        if (data.size() - kChunkHeaderBytes < length) {
            capture.cutShort = true;
            break;
        }
        capture.chunks.push_back({kind, atMs, std::string(data.substr(kChunkHeaderBytes, length))});
        data.remove_prefix(kChunkHeaderBytes + length);
    }
    capture.wholeBytes = static_cast<std::uint64_t>(data.data() - begin);
    if (!capture.damage.empty() && capture.chunks.empty()) {
        setError(error, "damaged chunk at byte " + std::to_string(capture.wholeBytes) + ": " + capture.damage);
        return std::nullopt;
    }
    return capture;
}

std::optional<LineCapture> readLineCaptureFile(const std::filesystem::path &file, std::string *error)
{
    std::error_code code;
    const std::uintmax_t size = std::filesystem::file_size(file, code);
    if (code) {
        setError(error, file.string() + ": " + code.message());
        return std::nullopt;
    }
    if (size > kMaxCaptureBytes) {
        setError(error, file.string() + ": larger than 1 GiB");
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    std::string data(size, '\0');
    if (!in.read(data.data(), static_cast<std::streamsize>(size))) {
        setError(error, file.string() + ": cannot be read");
        return std::nullopt;
    }
    std::string reason;
    std::optional<LineCapture> capture = parseLineCapture(data, &reason);
    if (!capture)
        setError(error, file.string() + ": " + reason);
    return capture;
}
