#include "record/journalwriter.h"

#include "record/fileerror.h"
#include "record/writeall.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <system_error>
#include <utility>
#include <fcntl.h>
#include <unistd.h>

namespace {

using Json = nlohmann::ordered_json;
using Clock = std::chrono::steady_clock;
constexpr auto kSyncInterval = std::chrono::seconds(1);
// Held on the disk for the journal at the start: a long 8-car race writes
// well under it. A disk with less gives what it has, down to the least.
constexpr std::uintmax_t kReserve = 1u << 20;
constexpr std::uintmax_t kLeastReserve = 16u << 10;
// Grown by this ahead of the writes once the reserve is used up.
constexpr std::uintmax_t kGrowth = 256u << 10;
constexpr std::uintmax_t kLeastGrowth = 4u << 10;
// Kept back at the end of the reserve for the line saying the journal
// stopped, the end line and the end a later start may add.
constexpr std::uintmax_t kHeldBack = 2u << 10;

const char *endName(RaceEnd how)
{
    switch (how) {
    case RaceEnd::Open: break;
    case RaceEnd::Finished: return "finished";
    case RaceEnd::Closed: return "closed";
    case RaceEnd::Signalled: return "signalled";
    case RaceEnd::Interrupted: return "interrupted";
    }
    return "open";
}

std::string failureReason(const std::filesystem::path &file, int error)
{
    return "Záznam závodu nelze ukládat (" + file.string() + "): " + fileErrorReason(error)
           + ". Závod pokračuje; jeho zpráva vznikne z průběhu závodu v programu.";
}

const char *causeName(int error)
{
    return error == ENOSPC || error == EDQUOT ? "diskFull" : error == EROFS ? "readOnly" : "failure";
}

Json eventLine(const char *type, std::int32_t hostMs)
{
    return Json{{"type", type}, {"hostMs", hostMs}};
}

Json seatLine(const char *type, const SeatMoment &at)
{
    Json line = eventLine(type, at.hostMs);
    line["seat"] = at.seat;
    line["lap"] = at.lap;
    return line;
}

std::string text(const Json &line)
{
    // Invalid UTF-8 in a name is replaced, never a reason to lose the line.
    return line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + '\n';
}

} // namespace

std::unique_ptr<JournalWriter> JournalWriter::open(const std::filesystem::path &file, std::string startedAt,
                                                   FailureHandler onFailure)
{
    std::unique_ptr<JournalWriter> writer(new JournalWriter(file, std::move(onFailure)));
    const Json header{{"format", "tramelo-journal"}, {"version", kJournalVersion}, {"startedAt", std::move(startedAt)}};
    // O_EXCL: an existing journal is another race's and is never overwritten.
    // Readable too: after a failure the race as counted is taken from it.
    writer->fd_ = ::open(file.c_str(), O_RDWR | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0644);
    if (writer->fd_ < 0) {
        const int error = errno;
        writer->keep(text(header));
        writer->fail(error);
        return writer;
    }
    try {
        writer->syncThread_ = std::thread(&JournalWriter::syncLoop, writer.get());
    } catch (const std::system_error &error) {
        // Without its thread the writer would stall the window on the disk.
        writer->keep(text(header));
        writer->fail(error.code().value());
        return writer;
    }
    writer->reserve();
    writer->writeLine(text(header), Sync::Now);
    return writer;
}

JournalWriter::JournalWriter(std::filesystem::path file, FailureHandler onFailure)
    : file_(std::move(file)), onFailure_(std::move(onFailure))
{
}

JournalWriter::~JournalWriter()
{
    if (syncThread_.joinable()) {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_one();
        syncThread_.join();
    }
    if (fd_ >= 0)
        ::close(fd_);
}

void JournalWriter::raceSettings(const RecordedSettings &settings, std::int32_t hostMs)
{
    Json line = eventLine("settings", hostMs);
    line["trackLength"] = settings.trackLength;
    line["scale"] = settings.scale;
    line["lapsPerRide"] = settings.lapsPerRide;
    line["racers"] = settings.racerNames;
    writeLine(text(line), Sync::Soon, hostMs);
}

void JournalWriter::startSignal(std::int32_t hostMs)
{
    writeLine(text(eventLine("startSignal", hostMs)), Sync::Now, hostMs);
}

void JournalWriter::startCrossing(const SeatMoment &at, std::uint32_t hardwareMs)
{
    Json line = seatLine("startCrossing", at);
    line["hardwareMs"] = hardwareMs;
    writeLine(text(line), Sync::Soon, at.hostMs);
}

void JournalWriter::lapCounted(const LapEntry &lap)
{
    Json line = eventLine("lap", lap.hostMs);
    line["seat"] = lap.seat;
    line["lap"] = lap.lap;
    line["hardwareMs"] = lap.hardwareMs;
    line["lapMs"] = lap.lapMs;
    line["speedKmh"] = lap.speedKmh;
    line["position"] = lap.position;
    line["lapTimeText"] = lap.lapTimeText;
    line["gapText"] = lap.gapText;
    line["tank"] = lap.tank;
    writeLine(text(line), Sync::Soon, lap.hostMs);
}

void JournalWriter::leftTrack(const SeatMoment &at, std::int32_t offTrackCount)
{
    Json line = seatLine("offTrack", at);
    line["offTrackCount"] = offTrackCount;
    writeLine(text(line), Sync::Soon, at.hostMs);
}

void JournalWriter::falseStart(const SeatMoment &at) { seatEvent("falseStart", at); }

void JournalWriter::falseStartAnswered(const SeatMoment &at, bool raceGoesOn)
{
    Json line = seatLine("falseStartAnswer", at);
    line["answer"] = raceGoesOn ? "yes" : "no";
    writeLine(text(line), Sync::Soon, at.hostMs);
}

void JournalWriter::disqualifyRequested(const SeatMoment &at) { seatEvent("disqualifyRequested", at); }
void JournalWriter::disqualified(const SeatMoment &at) { seatEvent("disqualified", at); }
void JournalWriter::readmitRequested(const SeatMoment &at) { seatEvent("readmitRequested", at); }
void JournalWriter::readmitted(const SeatMoment &at, std::uint32_t hardwareMs)
{
    Json line = seatLine("readmitted", at);
    line["hardwareMs"] = hardwareMs;
    writeLine(text(line), Sync::Soon);
}
void JournalWriter::fuelLow(const SeatMoment &at) { seatEvent("fuelLow", at); }
void JournalWriter::fuelEmpty(const SeatMoment &at) { seatEvent("fuelEmpty", at); }
void JournalWriter::finished(const SeatMoment &at) { seatEvent("finished", at, Sync::Now); }

void JournalWriter::raceEnded(RaceEnd how, std::int32_t hostMs)
{
    if (ended_)
        return;
    Json line = eventLine("end", hostMs);
    line["how"] = endName(how);
    if (stoppedForSpace_ && !ended_) {
        // Into the bytes held back for it: the journal, cut as it is, still
        // tells how the race ended.
        if (!append(text(line)))
            keep(text(line));
    } else {
        writeLine(text(line), Sync::Soon, hostMs);
    }
    ended_ = true;
    if (fd_ < 0)
        return;
    // What the race did not need goes back to the disk (the report files
    // are written next).
    if (reserved_ > size_ && ::fallocate(fd_, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, static_cast<off_t>(size_),
                                         static_cast<off_t>(reserved_ - size_)) == 0)
        reserved_ = size_;
    // On the sync thread, so the window never waits for the disk at the
    // end; that thread reports a failure of it. After a failure reported
    // already there is nothing more to tell.
    if (!failed_) {
        {
            std::lock_guard lock(mutex_);
            endSync_ = true;
        }
        requestSync(Sync::Now);
    }
}

void JournalWriter::recordStopped(StoppedPart::Part part, int error, std::int32_t hostMs)
{
    Json line = eventLine("recordStopped", hostMs);
    line["part"] = part == StoppedPart::Part::Journal ? "journal" : "lineCapture";
    line["cause"] = causeName(error);
    writeLine(text(line), Sync::Now, hostMs);
}

std::string JournalWriter::countedText() const
{
    std::string bytes(size_, '\0');
    std::size_t done = 0;
    while (fd_ >= 0 && done < bytes.size()) {
        const ssize_t got = ::pread(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
    return bytes + unwritten_;
}

void JournalWriter::seatEvent(const char *type, const SeatMoment &at, Sync sync)
{
    writeLine(text(seatLine(type, at)), sync, at.hostMs);
}

void JournalWriter::writeLine(const std::string &line, Sync sync, std::int32_t hostMs)
{
    if (hostMs != 0)
        lastHostMs_ = hostMs;
    if (ended_)
        return; // a failure after the end is the sync thread's to report
    reportSyncFailure();
    if (!failed_ && !roomFor(line.size()))
        stopForSpace(hostMs);
    if (failed_) {
        keep(line);
        return;
    }
    if (!append(line)) {
        const int error = errno;
        keep(line);
        fail(error);
        return;
    }
    requestSync(sync);
}

bool JournalWriter::append(const std::string &line)
{
    if (writeAll(fd_, line)) {
        size_ += line.size();
        return true;
    }
    // A line the disk took only in part is taken back: the lines after it
    // (the end line) must not join it.
    const int error = errno;
    if (::ftruncate(fd_, static_cast<off_t>(size_)) != 0) {
        // Then the cut line stays, and a reader counts it as damaged.
    }
    errno = error;
    return false;
}

void JournalWriter::keep(const std::string &line)
{
    // A runaway race must not take the memory: past this the count is cut.
    constexpr std::size_t kMostKept = 64u << 20;
    if (unwritten_.size() + line.size() <= kMostKept)
        unwritten_ += line;
}

void JournalWriter::reserve()
{
    for (std::uintmax_t bytes = kReserve; bytes >= kLeastReserve; bytes /= 2) {
        if (::fallocate(fd_, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes)) == 0) {
            reserved_ = bytes;
            return;
        }
        if (errno != ENOSPC && errno != EDQUOT)
            break;
    }
    // A file system that cannot reserve is written plainly; the line
    // capture still gives way first on a filling disk.
    reserving_ = errno == ENOSPC || errno == EDQUOT;
}

bool JournalWriter::roomFor(std::size_t bytes)
{
    if (!reserving_)
        return true;
    while (size_ + bytes + kHeldBack > reserved_) {
        std::uintmax_t step = kGrowth;
        while (step >= kLeastGrowth && ::fallocate(fd_, FALLOC_FL_KEEP_SIZE, static_cast<off_t>(reserved_),
                                                   static_cast<off_t>(step)) != 0) {
            if (errno != ENOSPC && errno != EDQUOT) {
                reserving_ = false;
                return true;
            }
            step /= 2;
        }
        if (step < kLeastGrowth)
            return false;
        reserved_ += step;
    }
    return true;
}

void JournalWriter::stopForSpace(std::int32_t hostMs)
{
    Json line = eventLine("recordStopped", hostMs);
    line["part"] = "journal";
    line["cause"] = "diskFull";
    if (append(text(line))) {
        stoppedForSpace_ = true;
        requestSync(Sync::Now);
    } else {
        keep(text(line));
    }
    failed_ = true;
    if (onFailure_)
        onFailure_(failureReason(file_, ENOSPC));
}

void JournalWriter::requestSync(Sync sync)
{
    {
        std::lock_guard lock(mutex_);
        dirty_ = true;
        syncNow_ = syncNow_ || sync == Sync::Now;
    }
    wake_.notify_one();
}

void JournalWriter::syncLoop()
{
    // The first periodic sync may come at once: nothing was synced before.
    Clock::time_point lastSync = Clock::now() - kSyncInterval;
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return dirty_ || stopping_; });
        if (!dirty_)
            return;
        wake_.wait_until(lock, lastSync + kSyncInterval, [this] { return syncNow_ || stopping_; });
        dirty_ = false;
        syncNow_ = false;
        const bool last = std::exchange(endSync_, false);
        lock.unlock();
        int error = ::fdatasync(fd_) != 0 && errno != EINTR ? errno : 0;
        if (last) {
            // Nothing is written after the end line, so no later write would
            // report a failure: it is told from here, an earlier one too.
            if (error == 0)
                error = syncError_.exchange(0);
            if (error != 0 && onFailure_)
                onFailure_(failureReason(file_, error));
        } else if (error != 0) {
            syncError_.store(error);
        }
        lastSync = Clock::now();
        lock.lock();
    }
}

void JournalWriter::reportSyncFailure()
{
    if (const int error = syncError_.exchange(0); error != 0 && !failed_)
        fail(error);
}

void JournalWriter::fail(int error)
{
    if (failed_)
        return;
    failed_ = true;
    // Where the disk's journal ends, the race as counted says why.
    Json line = eventLine("recordStopped", lastHostMs_);
    line["part"] = "journal";
    line["cause"] = causeName(error);
    keep(text(line));
    if (onFailure_)
        onFailure_(failureReason(file_, error));
}
