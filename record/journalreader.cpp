#include "record/journalreader.h"

#include "record/fileerror.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Json = nlohmann::json;

// No line the writer makes comes near this; a longer one is damaged without
// being parsed, which also bounds how deeply a line can nest.
constexpr std::size_t kLineLimit = 16 * 1024;
constexpr const char *kFormat = "tramelo-journal";

/// A line that breaks a rule of the format; the reader counts it as damaged.
struct DamagedLine {};

std::optional<Json> parseObject(std::string_view line)
{
    if (line.size() > kLineLimit)
        return std::nullopt;
    Json value = Json::parse(line, nullptr, false);
    if (!value.is_object())
        return std::nullopt;
    return value;
}

/// The version of a header line, if it is one.
std::optional<std::int64_t> headerVersion(const std::optional<Json> &header)
{
    if (!header)
        return std::nullopt;
    const auto format = header->find("format");
    const auto version = header->find("version");
    if (format == header->end() || *format != kFormat || version == header->end() || !version->is_number_integer())
        return std::nullopt;
    return version->get<std::int64_t>();
}

bool understood(const std::optional<std::int64_t> &version)
{
    return version && *version >= 1 && *version <= kJournalVersion;
}

std::int64_t integer(const Json &line, const char *key, std::int64_t min, std::int64_t max, bool required = false)
{
    const auto field = line.find(key);
    if (field == line.end()) {
        if (required)
            throw DamagedLine{};
        return 0;
    }
    if (!field->is_number_integer())
        throw DamagedLine{};
    // An unsigned value above the signed range is out of every range here.
    if (field->is_number_unsigned() && field->get<std::uint64_t>() > std::uint64_t(max))
        throw DamagedLine{};
    const auto value = field->get<std::int64_t>();
    if (value < min || value > max)
        throw DamagedLine{};
    return value;
}

std::int32_t int32(const Json &line, const char *key)
{
    return static_cast<std::int32_t>(integer(line, key, std::numeric_limits<std::int32_t>::min(),
                                             std::numeric_limits<std::int32_t>::max()));
}

std::uint32_t uint32(const Json &line, const char *key)
{
    return static_cast<std::uint32_t>(integer(line, key, 0, std::numeric_limits<std::uint32_t>::max()));
}

std::string text(const Json &line, const char *key)
{
    const auto field = line.find(key);
    if (field == line.end())
        return {};
    if (!field->is_string())
        throw DamagedLine{};
    return field->get<std::string>();
}

int seatOf(const Json &line)
{
    return static_cast<int>(integer(line, "seat", 0, 7, true));
}

EventEntry seatEvent(EventKind kind, const Json &line)
{
    EventEntry event;
    event.kind = kind;
    event.seat = seatOf(line);
    event.lap = integer(line, "lap", 0, std::numeric_limits<std::int64_t>::max());
    event.hostMs = int32(line, "hostMs");
    return event;
}

void readSettings(const Json &line, RaceLog &log)
{
    std::array<RacerEntry, 8> names = log.racers;
    if (const auto racers = line.find("racers"); racers != line.end()) {
        if (!racers->is_array() || racers->size() != names.size())
            throw DamagedLine{};
        for (std::size_t seat = 0; seat < names.size(); ++seat) {
            if (!(*racers)[seat].is_string())
                throw DamagedLine{};
            names[seat].name = (*racers)[seat].get<std::string>();
        }
    }
    std::string trackLength = text(line, "trackLength");
    std::string scale = text(line, "scale");
    log.lapsPerRide = text(line, "lapsPerRide");
    log.trackLength = std::move(trackLength);
    log.scale = std::move(scale);
    log.racers = std::move(names);
}

LapEntry readLap(const Json &line)
{
    LapEntry lap;
    lap.seat = seatOf(line);
    lap.lap = integer(line, "lap", 1, std::numeric_limits<std::int64_t>::max(), true);
    lap.hardwareMs = uint32(line, "hardwareMs");
    lap.hostMs = int32(line, "hostMs");
    lap.lapMs = int32(line, "lapMs");
    lap.speedKmh = int32(line, "speedKmh");
    lap.position = int32(line, "position");
    lap.lapTimeText = text(line, "lapTimeText");
    lap.gapText = text(line, "gapText");
    lap.tank = int32(line, "tank");
    return lap;
}

RaceEnd endKind(const std::string &how)
{
    if (how == "finished")
        return RaceEnd::Finished;
    if (how == "closed")
        return RaceEnd::Closed;
    if (how == "signalled")
        return RaceEnd::Signalled;
    if (how == "interrupted")
        return RaceEnd::Interrupted;
    throw DamagedLine{};
}

/// The answer joins the question it answers; an answer without one stands alone.
void readFalseStartAnswer(const Json &line, RaceLog &log)
{
    EventEntry answer = seatEvent(EventKind::FalseStart, line);
    answer.detail = text(line, "answer");
    if (answer.detail != "yes" && answer.detail != "no")
        throw DamagedLine{};
    for (auto event = log.events.rbegin(); event != log.events.rend(); ++event) {
        if (event->kind == EventKind::FalseStart && event->seat == answer.seat && event->detail.empty()) {
            event->detail = answer.detail;
            return;
        }
    }
    log.events.push_back(answer);
}

void readStopped(const Json &line, RaceLog &log)
{
    StoppedPart stopped;
    const std::string part = text(line, "part");
    const std::string cause = text(line, "cause");
    if (part == "journal")
        stopped.part = StoppedPart::Part::Journal;
    else if (part == "lineCapture")
        stopped.part = StoppedPart::Part::LineCapture;
    else
        throw DamagedLine{};
    if (cause == "diskFull")
        stopped.cause = StoppedPart::Cause::DiskFull;
    else if (cause == "readOnly")
        stopped.cause = StoppedPart::Cause::ReadOnly;
    else
        stopped.cause = StoppedPart::Cause::Failure;
    stopped.hostMs = int32(line, "hostMs");
    stopped.lapsBefore = log.laps.size();
    log.stopped.push_back(stopped);
}

const std::pair<const char *, EventKind> kSeatEvents[] = {
    {"falseStart", EventKind::FalseStart},
    {"disqualifyRequested", EventKind::DisqualifyRequested},
    {"disqualified", EventKind::Disqualified},
    {"readmitRequested", EventKind::ReadmitRequested},
    {"readmitted", EventKind::Readmitted},
    {"fuelLow", EventKind::FuelLow},
    {"fuelEmpty", EventKind::FuelEmpty},
    {"finished", EventKind::Finished},
};

void readEvent(const Json &line, RaceLog &log)
{
    const std::string type = text(line, "type");
    if (type == "lap") {
        log.laps.push_back(readLap(line));
    } else if (type == "settings") {
        readSettings(line, log);
    } else if (type == "startSignal") {
        log.events.push_back({EventKind::StartSignal, -1, 0, 0, int32(line, "hostMs"), {}});
    } else if (type == "startCrossing") {
        EventEntry event = seatEvent(EventKind::StartCrossing, line);
        event.hardwareMs = uint32(line, "hardwareMs");
        log.events.push_back(event);
    } else if (type == "readmitted") {
        EventEntry event = seatEvent(EventKind::Readmitted, line);
        event.hardwareMs = uint32(line, "hardwareMs");
        log.events.push_back(event);
    } else if (type == "offTrack") {
        EventEntry event = seatEvent(EventKind::OffTrack, line);
        event.detail = std::to_string(int32(line, "offTrackCount"));
        log.events.push_back(event);
    } else if (type == "falseStartAnswer") {
        readFalseStartAnswer(line, log);
    } else if (type == "recordStopped") {
        readStopped(line, log);
    } else if (type == "end") {
        const RaceEnd how = endKind(text(line, "how"));
        log.endHostMs = int32(line, "hostMs");
        log.end = how;
    } else {
        for (const auto &[name, kind] : kSeatEvents) {
            if (type == name) {
                log.events.push_back(seatEvent(kind, line));
                return;
            }
        }
        throw DamagedLine{};
    }
}

void readLine(std::string_view line, bool first, RaceLog &log)
{
    if (first) {
        const std::optional<Json> header = parseObject(line);
        const std::optional<std::int64_t> version = headerVersion(header);
        if (!understood(version))
            throw DamagedLine{};
        log.startedAt = text(*header, "startedAt");
        log.version = static_cast<int>(*version);
        return;
    }
    const std::optional<Json> event = parseObject(line);
    if (!event)
        throw DamagedLine{};
    readEvent(*event, log);
}

// Enough to hold the last line of any journal this program writes.
constexpr std::uintmax_t kTailBytes = 64 * 1024;

/// Reads up to \a length bytes from \a offset into \a out; 0 or an errno value.
int readAt(int fd, std::uintmax_t offset, std::uintmax_t length, std::string &out)
{
    out.assign(length, '\0');
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t got = ::pread(fd, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno;
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    out.resize(done);
    return 0;
}

/// The end told by the last whole line of \a tail, the end of a file.
void endFromTail(std::string_view tail, RaceLog &log)
{
    if (tail.empty() || tail.back() != '\n')
        return; // the last line was cut: no end
    tail.remove_suffix(1);
    std::string_view last = tail.substr(tail.rfind('\n') == std::string_view::npos ? 0 : tail.rfind('\n') + 1);
    if (!last.empty() && last.back() == '\r')
        last.remove_suffix(1);
    const std::optional<Json> line = parseObject(last);
    try {
        if (line && text(*line, "type") == "end") {
            const RaceEnd how = endKind(text(*line, "how"));
            log.endHostMs = int32(*line, "hostMs");
            log.end = how;
        }
    } catch (const DamagedLine &) {
    } catch (const nlohmann::json::exception &) {
    }
}

std::string_view firstLine(std::string_view text)
{
    return text.substr(0, text.find('\n'));
}

void setError(std::string *error, std::string reason)
{
    if (error)
        *error = std::move(reason);
}

} // namespace

bool isJournalHeader(std::string_view line)
{
    return understood(headerVersion(parseObject(line)));
}

RaceLog readJournal(std::string_view text)
{
    RaceLog log;
    for (std::size_t seat = 0; seat < log.racers.size(); ++seat)
        log.racers[seat].seat = static_cast<int>(seat);
    bool first = true;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() && !first)
            continue;
        // A line is taken whole or not at all: each reader checks every
        // field before it changes the log.
        try {
            readLine(line, first, log);
        } catch (const DamagedLine &) {
            ++log.damagedLines;
        } catch (const nlohmann::json::exception &) {
            ++log.damagedLines;
        }
        first = false;
    }
    return log;
}

std::optional<RaceLog> readJournalFile(const std::filesystem::path &file, std::string *error,
                                       OversizedJournal oversized)
{
    // Non-blocking, so a pipe in the journal's place cannot hold up start-up.
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        setError(error, "soubor " + file.string() + " nelze otevřít: " + fileErrorReason(errno));
        return std::nullopt;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        setError(error, "záznam není obyčejný soubor");
        return std::nullopt;
    }
    const auto size = static_cast<std::uintmax_t>(status.st_size);
    const bool large = size > kJournalReadLimit;
    const bool glance = large && oversized == OversizedJournal::HeaderAndEndOnly;
    // A glance needs the header line only; a longer one is no header anyway.
    const std::uintmax_t headBytes = glance ? kLineLimit + 1 : std::min(size, kJournalReadLimit);
    std::string bytes;
    std::string tail;
    int readError = readAt(fd, 0, headBytes, bytes);
    if (readError == 0 && large)
        readError = readAt(fd, size - kTailBytes, kTailBytes, tail);
    ::close(fd);
    if (readError != 0) {
        setError(error, "soubor " + file.string() + " nelze přečíst: " + fileErrorReason(readError));
        return std::nullopt;
    }

    const std::optional<std::int64_t> version = headerVersion(parseObject(firstLine(bytes)));
    if (!version || *version < 1) {
        setError(error, bytes.empty() ? "záznam je prázdný" : "soubor není záznam závodu tohoto programu");
        return std::nullopt;
    }
    if (*version > kJournalVersion) {
        setError(error, "záznam má novější formát (verze " + std::to_string(*version) + "), než tento program umí číst");
        return std::nullopt;
    }
    RaceLog log = readJournal(glance ? firstLine(bytes) : std::string_view(bytes));
    if (large) {
        log.unreadBytes = size - (glance ? firstLine(bytes).size() : kJournalReadLimit);
        // The end line is the last line, far beyond what was read: what the
        // first bytes say of the end does not count.
        log.end = RaceEnd::Open;
        log.endHostMs = 0;
        endFromTail(tail, log);
    }
    return log;
}
