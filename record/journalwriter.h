// The race journal written as the race happens: one JSON line per event
// (docs/journal.md), each handed to the kernel with write() before the engine
// goes on, so a killed program loses nothing. Data is forced to the disk on a
// small background thread: at once after the start signal, each finish and
// the end, otherwise at most once a second; the caller never waits for the
// disk. A failed write never reaches the engine: the writer stops and
// reports it once.
//
// The journal comes first on a filling disk: its space is reserved on the
// disk when it is opened (1 MiB, well over a long 8-car race; less if the
// disk has less) and grown ahead of the writes. Only when no more can be
// had does it stop, with a last line saying the disk was full, written into
// a few kilobytes held back for it and for the end line. Whatever it could
// not write is kept in memory, so the race as the program counted it can
// still be reported.
#pragma once

#include "engine/racerecorder.h"
#include "record/racelog.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class JournalWriter : public RaceRecorder {
public:
    /// Called once, with a Czech sentence for the user: on the thread that
    /// calls the recorder, from inside that call, or, when the last forced
    /// write after the end fails, on the writer's own thread. Post the
    /// message; do not open a modal box from inside the call.
    using FailureHandler = std::function<void(const std::string &reason)>;

    /// Creates \a file (never overwriting one) and writes the header line.
    /// Always gives a writer: one that could not start has reported it and
    /// records nothing.
    static std::unique_ptr<JournalWriter> open(const std::filesystem::path &file, std::string startedAt,
                                               FailureHandler onFailure);
    /// Waits for the last forced write to the disk.
    ~JournalWriter() override;
    JournalWriter(const JournalWriter &) = delete;
    JournalWriter &operator=(const JournalWriter &) = delete;

    /// False once a write failed (or the file could not be created).
    bool ok() const { return !failed_; }

    /// Notes in the journal that \a part of the record stopped because of
    /// \a error (an errno value).
    void recordStopped(StoppedPart::Part part, int error, std::int32_t hostMs);
    /// Every line the writer was given, whether the disk kept it or not:
    /// the journal's bytes followed by the lines it could not write.
    std::string countedText() const;
    /// Bytes held on the disk for the journal beyond what it has written.
    std::uintmax_t reservedAhead() const { return reserved_ > size_ ? reserved_ - size_ : 0; }

    void raceSettings(const RecordedSettings &settings, std::int32_t hostMs) override;
    void startSignal(std::int32_t hostMs) override;
    void startCrossing(const SeatMoment &at, std::uint32_t hardwareMs) override;
    void lapCounted(const LapEntry &lap) override;
    void leftTrack(const SeatMoment &at, std::int32_t offTrackCount) override;
    void falseStart(const SeatMoment &at) override;
    void falseStartAnswered(const SeatMoment &at, bool raceGoesOn) override;
    void disqualifyRequested(const SeatMoment &at) override;
    void disqualified(const SeatMoment &at) override;
    void readmitRequested(const SeatMoment &at) override;
    void readmitted(const SeatMoment &at, std::uint32_t hardwareMs) override;
    void fuelLow(const SeatMoment &at) override;
    void fuelEmpty(const SeatMoment &at) override;
    void finished(const SeatMoment &at) override;
    /// Writes the end line and has it forced to the disk on the writer's
    /// thread, without waiting; nothing is written after it, and only the
    /// first call counts.
    void raceEnded(RaceEnd how, std::int32_t hostMs) override;

private:
    JournalWriter(std::filesystem::path file, FailureHandler onFailure);
    enum class Sync { Soon, Now };
    void reserve();
    bool roomFor(std::size_t bytes);
    void stopForSpace(std::int32_t hostMs);
    void keep(const std::string &line);
    bool append(const std::string &line);
    void writeLine(const std::string &line, Sync sync, std::int32_t hostMs = 0);
    void seatEvent(const char *type, const SeatMoment &at, Sync sync = Sync::Soon);
    void fail(int error);
    void requestSync(Sync sync);
    void syncLoop();
    void reportSyncFailure();

    const std::filesystem::path file_;
    FailureHandler onFailure_;
    int fd_ = -1;
    bool failed_ = false;
    bool ended_ = false; ///< the end line is the last line
    /// Stopped for want of space, with the held-back bytes still to use.
    bool stoppedForSpace_ = false;
    bool reserving_ = true;         ///< the file system can reserve space
    std::uintmax_t size_ = 0;       ///< bytes of whole lines written
    std::uintmax_t reserved_ = 0;   ///< bytes reserved from the file's start
    std::string unwritten_;         ///< lines the disk did not take
    std::int32_t lastHostMs_ = 0;

    // Shared with the sync thread.
    std::mutex mutex_;
    std::condition_variable wake_;
    bool dirty_ = false;
    bool syncNow_ = false;
    bool endSync_ = false; ///< the next sync is the last, after the end line
    bool stopping_ = false;
    std::atomic<int> syncError_{0};
    std::thread syncThread_;
};
