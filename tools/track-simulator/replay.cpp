#include "replay.h"

#include "linepacing.h"
#include "record/journalreader.h"
#include "records.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <poll.h>
#include <unistd.h>

namespace {

std::optional<ChannelCrossing> firstStartCrossing(const std::filesystem::path &folder)
{
    std::string error;
    const std::optional<RaceLog> log = readJournalFile(folder / kJournalFileName, &error);
    if (!log) {
        std::fprintf(stderr, "track-simulator: no journal to go by (%s); the hold comes at the line's first "
                             "changed timestamp\n", error.c_str());
        return std::nullopt;
    }
    for (const EventEntry &event : log->events) {
        if (event.kind == EventKind::StartCrossing)
            return ChannelCrossing{event.seat + 1, event.hardwareMs};
    }
    return std::nullopt;
}

// Enter on standard input, or the go file. Standard input at its end (or
// not readable) is no longer watched.
class GoSignal {
public:
    explicit GoSignal(std::string goFile) : goFile_(std::move(goFile)) {}

    bool given()
    {
        if (!goFile_.empty() && std::filesystem::exists(goFile_))
            return true;
        return watchInput_ && enterPressed();
    }

private:
    bool enterPressed()
    {
        pollfd input{STDIN_FILENO, POLLIN, 0};
        if (::poll(&input, 1, 0) <= 0)
            return false;
        char bytes[256];
        const ssize_t got = ::read(STDIN_FILENO, bytes, sizeof bytes);
        if (got <= 0) {
            watchInput_ = false;
            return false;
        }
        return std::string_view(bytes, static_cast<std::size_t>(got)).find('\n') != std::string_view::npos;
    }

    std::string goFile_;
    bool watchInput_ = true;
};

// The records standing on the line, sent in channel order over and over.
class HeldLine {
public:
    explicit HeldLine(const std::array<std::string, 32> &records) : records_(records) {}

    /// The next record, or "" when the line has none.
    const std::string &next()
    {
        for (std::size_t tried = 0; tried < records_.size(); ++tried) {
            const std::string &record = records_[channel_];
            channel_ = (channel_ + 1) % records_.size();
            if (!record.empty())
                return record;
        }
        return records_[0];
    }

private:
    const std::array<std::string, 32> &records_;
    std::size_t channel_ = 0;
};

} // namespace

std::optional<ReplayScript> loadReplay(const std::string &raceFolder, std::string &error)
{
    const std::filesystem::path folder(raceFolder);
    const std::optional<LineCapture> capture =
        readLineCaptureFile(folder / std::string(kLineCaptureFileName), &error);
    if (!capture)
        return std::nullopt;
    const std::string captureFile = (folder / std::string(kLineCaptureFileName)).string();
    ReplayScript script = makeReplayScript(*capture, firstStartCrossing(folder));
    if (!capture->damage.empty())
        script.damage = captureFile + " is damaged at byte " + std::to_string(capture->wholeBytes) + " ("
                        + capture->damage + ")";
    if (script.lines.empty()) {
        error = script.damage.empty() ? raceFolder + ": the capture holds no whole line"
                                      : script.damage + "; there is no whole line before it";
        return std::nullopt;
    }
    if (!script.damage.empty())
        std::fprintf(stderr, "track-simulator: %s: only the %zu lines before it are played, then the replay stops\n",
                     script.damage.c_str(), script.lines.size());
    else if (capture->cutShort)
        std::fprintf(stderr, "track-simulator: %s ends inside a chunk at byte %llu (the program was stopped while "
                             "writing it); the whole chunks before it are played\n",
                     captureFile.c_str(), static_cast<unsigned long long>(capture->wholeBytes));
    return script;
}

int replay(const PseudoTerminal &terminal, const ReplayScript &script, const std::string &goFile, std::uint32_t baud)
{
    using Clock = std::chrono::steady_clock;
    const std::size_t end = script.lines.size();
    std::size_t next = 0;
    // Playing [next, segmentEnd) at the captured pace from segmentStart.
    std::size_t segmentEnd = script.holdAt;
    Clock::time_point segmentStart = Clock::now();
    std::uint32_t segmentBaseMs = script.lines.front().atMs;
    std::fprintf(stderr, "track-simulator: replaying %zu lines; %s\n", end,
                 script.holdAt < end ? "holding before the first start crossing until Enter or the go file"
                                     : "the line shows no start crossing, so it is played without a hold");

    // After a damaged capture's last line, the final records stand on the
    // line this long, so the program reads all of it before the stop.
    constexpr auto kStopAfterDamage = std::chrono::seconds(2);
    std::optional<Clock::time_point> playedAt;
    GoSignal go(goFile);
    HeldLine held(script.heldRecords);
    HeldLine ended(script.finalRecords);
    LinePace pace(baud);
    std::string pending;
    while (!stopRequested()) {
        pace.advance();
        const bool playing = next < segmentEnd;
        const bool holding = !playing && next == script.holdAt && next < end;
        if (!script.damage.empty() && next == end && pending.empty()) {
            if (!playedAt)
                playedAt = Clock::now();
            else if (Clock::now() - *playedAt >= kStopAfterDamage) {
                std::fprintf(stderr, "track-simulator: replay stopped after its %zu lines: %s\n", end,
                             script.damage.c_str());
                return 2;
            }
        }
        double sleepForMs = 2.0;
        if (playing) {
            const double elapsedMs = std::chrono::duration<double, std::milli>(Clock::now() - segmentStart).count();
            while (next < segmentEnd && script.lines[next].atMs - segmentBaseMs <= elapsedMs)
                pending += script.lines[next++].bytes;
            if (next < segmentEnd)
                sleepForMs = script.lines[next].atMs - segmentBaseMs - elapsedMs;
        } else if (holding && go.given()) {
            std::fputs("track-simulator: going on with the race\n", stderr);
            segmentEnd = end;
            segmentStart = Clock::now();
            segmentBaseMs = script.lines[next].atMs;
            continue;
        } else if (pending.empty() && pace.take(kRecordBytes)) {
            pending = (holding ? held : ended).next();
        } else if (pending.empty()) {
            sleepForMs = pace.msUntil(kRecordBytes);
        }
        if (!pending.empty() && !writeSome(terminal.masterFd(), pending)) {
            std::perror("track-simulator: write");
            return 1;
        }
        sleepMs(sleepForMs);
    }
    return 0;
}
