#include "fuzzrace.h"

#include "display/tablecells.h"
#include "engine/hardwareframes.h"
#include "engine/hardwarerecord.h"
#include "engine/resultsfile.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

void require(bool condition, const char *what)
{
    if (condition)
        return;
    std::fprintf(stderr, "broken rule: %s\n", what);
    std::abort();
}

namespace {

// The fields of one results line; nothing when it is not a row of quoted
// fields separated by commas, with quotes inside a field doubled.
std::optional<std::vector<std::string>> quotedFields(std::string_view line)
{
    std::vector<std::string> fields;
    std::size_t at = 0;
    while (true) {
        if (at >= line.size() || line[at] != '"')
            return std::nullopt;
        std::string field;
        for (++at;; ++at) {
            if (at >= line.size())
                return std::nullopt;
            if (line[at] == '"') {
                if (at + 1 < line.size() && line[at + 1] == '"') {
                    field += '"';
                    ++at;
                    continue;
                }
                break;
            }
            field += line[at];
        }
        fields.push_back(std::move(field));
        ++at;
        if (at == line.size())
            return fields;
        if (line[at] != ',')
            return std::nullopt;
        ++at;
    }
}

// "0" or digits without a leading zero.
bool isLapCount(std::string_view text)
{
    if (text.empty() || (text[0] == '0' && text.size() > 1))
        return false;
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

std::string seatsBlock(std::uint32_t timestamp)
{
    std::string block = "\r\n";
    for (int seat = 0; seat < kSeatCount; ++seat)
        block += hardwareRecord(seat + 1, 7, 0, timestamp);
    block.resize(kBlockSize, ' ');
    return block;
}

void writeSeatRecord(std::string &block, int seat, const ChannelReport &report)
{
    const std::string record = hardwareRecord(seat + 1, report.tankDigit, report.eventDigit, report.timestamp);
    block.replace(2 + static_cast<std::size_t>(seat) * record.size(), record.size(), record);
}

FuzzRace::FuzzRace(const RaceSettings &raceSettings) : settings(raceSettings) {}

void FuzzRace::start()
{
    static const std::string synchronisingBlock = seatsBlock(kStartCrossingMs / 2);
    static const std::string startCrossingBlock = seatsBlock(kStartCrossingMs);
    poll(synchronisingBlock);
    engine.state().startSignalGiven = true;
    engine.enterRaceScreen();
    host.clockMs = static_cast<std::int32_t>(kStartCrossingMs);
    poll(startCrossingBlock);
}

void FuzzRace::poll(std::string_view block)
{
    engine.receiveBlock(block);
    checkState();
}

void FuzzRace::paint()
{
    // Each paint takes one waiting row; the queue behind it is one row deep.
    for (int rows = 0; engine.state().repaintRow != kNoRow; ++rows) {
        require(rows <= kSeatCount, "repaint requests end");
        engine.race().repaintDone();
    }
}

void FuzzRace::pressButton(int command)
{
    engine.racerButtonCommand(command);
    checkState();
}

void FuzzRace::clockTick(std::int32_t ms)
{
    host.clockMs = static_cast<std::int32_t>(static_cast<std::uint32_t>(host.clockMs) + static_cast<std::uint32_t>(ms));
    engine.raceClockTick();
}

void FuzzRace::checkState() const
{
    const Race &race = engine.race();
    const RaceState &state = race.state;
    require(state.receiveBuffer.size() <= static_cast<std::size_t>(kBlockSize), "the receive buffer holds at most one block");
    require(state.repaintRow >= kNoRow && state.repaintRow < kSeatCount, "a repaint asks for a seat's row");
    require(!host.mainWindowClosed, "a race under way never closes the window");
    const std::int32_t offTrackCounting = settingToInt(settings.autoOffTrackCounting);
    for (int seat = 0; seat < kSeatCount; ++seat) {
        const RacerState &racer = race.racers[static_cast<std::size_t>(seat)];
        const std::string &name = settings.racerName[static_cast<std::size_t>(seat)];
        require(racer.nameText == (name.empty() ? kEmptySeatName : std::string_view(name)),
                "a seat keeps its racer's name");
        require(isLapCount(racer.lapsText), "the lap count is a whole number from 0 up");
        require(tankPictureResource(racer.tankText) != 0, "every tank state has its gauge picture");
        // Counting values below 0 come only from a hand-edited file.
        if (offTrackCounting >= 0)
            require(flagPictureResource(racer.flagCode) != 0, "every flag code has its picture");
    }
}

void FuzzRace::checkResults() const
{
    if (!engine.raceIsOver())
        return;
    const Race &race = engine.race();
    const std::string text = resultsText(race);
    std::vector<std::string_view> lines;
    for (std::size_t at = 0;;) {
        const std::size_t end = text.find("\r\n", at);
        lines.push_back(std::string_view(text).substr(at, end == std::string::npos ? std::string::npos : end - at));
        if (end == std::string::npos)
            break;
        at = end + 2;
    }
    std::size_t line = 1;
    require(quotedFields(lines[0]).has_value(), "the header is a row of quoted fields");
    for (const RacerState &racer : race.racers) {
        if (racer.nameText == kEmptySeatName)
            continue;
        require(line < lines.size(), "every seat in use has its line");
        const std::optional<std::vector<std::string>> fields = quotedFields(lines[line++]);
        require(fields && fields->size() == 5, "a seat's line has five quoted fields");
        require((*fields)[0] == racer.nameText && (*fields)[1] == racer.rankText,
                "name and position are written as they stand");
    }
    require(line == lines.size(), "only seats in use have lines");
}
