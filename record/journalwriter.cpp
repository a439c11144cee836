#include "record/journalwriter.h"

#include "record/linecapture.h"
#include "record/writeall.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <system_error>
#include <fcntl.h>
#include <unistd.h>

namespace record {

namespace {

using Json = nlohmann::ordered_json;
using Clock = std::chrono::steady_clock;
constexpr auto kSyncInterval = std::chrono::seconds(1);

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
           + ". Závod pokračuje bez záznamu.";
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
    // O_EXCL: an existing journal is another race's and is never overwritten.
    writer->fd_ = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0644);
    if (writer->fd_ < 0) {
        writer->fail(errno);
        return writer;
    }
    try {
        writer->syncThread_ = std::thread(&JournalWriter::syncLoop, writer.get());
    } catch (const std::system_error &error) {
        // Without its thread the writer would stall the window on the disk.
        writer->fail(error.code().value());
        return writer;
    }
    Json header{{"format", "tramelo-journal"}, {"version", kJournalVersion}, {"startedAt", std::move(startedAt)}};
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
    writeLine(text(line), Sync::Soon);
}

void JournalWriter::startSignal(std::int32_t hostMs)
{
    writeLine(text(eventLine("startSignal", hostMs)), Sync::Now);
}

void JournalWriter::startCrossing(const SeatMoment &at, std::uint32_t hardwareMs)
{
    Json line = seatLine("startCrossing", at);
    line["hardwareMs"] = hardwareMs;
    writeLine(text(line), Sync::Soon);
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
    writeLine(text(line), Sync::Soon);
}

void JournalWriter::leftTrack(const SeatMoment &at, std::int32_t offTrackCount)
{
    Json line = seatLine("offTrack", at);
    line["offTrackCount"] = offTrackCount;
    writeLine(text(line), Sync::Soon);
}

void JournalWriter::falseStart(const SeatMoment &at) { seatEvent("falseStart", at); }

void JournalWriter::falseStartAnswered(const SeatMoment &at, bool raceGoesOn)
{
    Json line = seatLine("falseStartAnswer", at);
    line["answer"] = raceGoesOn ? "yes" : "no";
    writeLine(text(line), Sync::Soon);
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
    Json line = eventLine("end", hostMs);
    line["how"] = endName(how);
    writeLine(text(line), Sync::Soon);
    ended_ = true;
    // On this thread, so a failure is still reported: the race is over, a
    // wait for the disk holds up no lap.
    if (!failed_ && ::fdatasync(fd_) != 0)
        fail(errno);
}

void JournalWriter::seatEvent(const char *type, const SeatMoment &at, Sync sync)
{
    writeLine(text(seatLine(type, at)), sync);
}

void JournalWriter::writeLine(const std::string &line, Sync sync)
{
    reportSyncFailure();
    if (failed_ || ended_)
        return;
    if (!writeAll(fd_, line)) {
        fail(errno);
        return;
    }
    requestSync(sync);
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
        lock.unlock();
        if (::fdatasync(fd_) != 0 && errno != EINTR)
            syncError_.store(errno);
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
    if (onFailure_)
        onFailure_(failureReason(file_, error));
}

} // namespace record
