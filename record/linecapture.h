// The hardware line of one race as the serial link received it, kept beside
// the journal so that a race night's problem can be played back: every chunk
// of raw bytes with the time it arrived, and every purge of the port (the
// bytes after a purge do not continue the ones before it). The writer puts
// each chunk into the file as it arrives; the reader takes back every whole
// chunk of a file cut short. The format is described in docs/line-capture.md.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// The first bytes of every capture file; the digit is the format's version.
inline constexpr std::string_view kLineCaptureMagic = "tramelo-line-capture 1\n";
inline constexpr std::string_view kLineCaptureFileName = "line.capture";

struct LineChunk {
    enum class Kind : char {
        Bytes = 'B', ///< bytes read from the port
        Purge = 'P', ///< the port's queues were discarded; no bytes
    };
    Kind kind = Kind::Bytes;
    /// Milliseconds since the capture began (monotonic).
    std::uint32_t atMs = 0;
    std::string bytes;

    bool operator==(const LineChunk &) const = default;
};

/// Free space the capture leaves on its disk for the journal and the report
/// files: it stops rather than take it.
inline constexpr std::uintmax_t kCaptureLeavesFree = 1u << 20;

class LineCaptureWriter {
public:
    /// Called with the reason in Czech; errno holds the error meanwhile
    /// (ENOSPC when the capture gave way to the journal).
    using FailureHandler = std::function<void(const std::string &reason)>;

    /// Creates (or empties) \a file and writes the format's first line. On
    /// failure returns null after calling \a onFailure with the reason. The
    /// capture stops, as if the disk were full, once less than \a leaveFree
    /// bytes are free on the file's disk, and does not start then.
    static std::unique_ptr<LineCaptureWriter> open(const std::filesystem::path &file, FailureHandler onFailure,
                                                   std::uintmax_t leaveFree = kCaptureLeavesFree);
    LineCaptureWriter(const LineCaptureWriter &) = delete;
    LineCaptureWriter &operator=(const LineCaptureWriter &) = delete;
    /// Closes the file. It is not forced to the disk: the journal is what
    /// must survive a power cut, and a forced write would hold the window.
    ~LineCaptureWriter();

    void bytesReceived(std::uint32_t atMs, std::string_view bytes);
    void purged(std::uint32_t atMs);
    /// True once a write failed: the handler was called and writing stopped.
    bool failed() const { return failed_; }

private:
    LineCaptureWriter(int fd, FailureHandler onFailure, std::uintmax_t leaveFree);
    void writeChunk(LineChunk::Kind kind, std::uint32_t atMs, std::string_view bytes);
    void fail(int error);
    void giveWay(std::uintmax_t freeBytes);

    int fd_ = -1;
    bool failed_ = false;
    FailureHandler onFailure_;
    std::string buffer_;
    std::uintmax_t leaveFree_ = 0;
    std::uintmax_t sinceCheck_ = 0; ///< bytes written since the free space was looked at
};

struct LineCapture {
    std::vector<LineChunk> chunks;
    /// The file ended inside a chunk (the program was killed while writing
    /// it); the chunks before it are whole.
    bool cutShort = false;
    /// Why the chunk at wholeBytes cannot be read (an unknown kind, a length
    /// no read of the port gives, a time going back); empty when none is
    /// damaged. Nothing after a damaged chunk is read.
    std::string damage{};
    /// Bytes of the file up to the end of the last whole chunk read.
    std::uint64_t wholeBytes = 0;
};

/// Reads a capture's bytes: every whole chunk before a damaged one or the
/// cut. Null with the reason when they are not a capture, or when its very
/// first chunk is damaged.
std::optional<LineCapture> parseLineCapture(std::string_view data, std::string *error = nullptr);
/// Reads a capture file of at most 1 GiB.
std::optional<LineCapture> readLineCaptureFile(const std::filesystem::path &file, std::string *error = nullptr);
