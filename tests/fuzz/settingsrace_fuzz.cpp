// Any INI text loaded through the load command, then a short race on the
// settings it left: lap count, scale, track length, automatic counting of
// leaving the track and the racers' names as the file says, however odd;
// the table rules for the arrangement and colour scheme it names; and the
// results text at the end.
//
// Input: the INI file's bytes, optionally followed by a zero byte (which ends
// the file's text for the reader) and a race script. Each script byte is one
// poll: bytes from 0xF0 up press row button 3100 + byte % 16; any other byte
// b lets seat b % 8 cross the line after a lap of 1500 + (b / 8) x 211 ms
// with tank digit (b / 5) % 10, marked as having left the track when b is a
// multiple of 11. Without the zero byte a fixed script runs.
#include "config/initext.h"
#include "config/settingsflow.h"
#include "display/colourscheme.h"
#include "display/tablecells.h"
#include "display/tablelayout.h"
#include "fuzzrace.h"
#include "fuzzsettingsui.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

constexpr std::size_t kMaxScriptSteps = 12;
constexpr int kClientWidth = 1920;
constexpr int kClientHeight = 1080;

// Laps of varied length for the seats in use, in turn.
std::string defaultScript(const RaceSettings &settings)
{
    std::string seats;
    for (int seat = 0; seat < kSeatCount; ++seat) {
        if (!settings.racerName[static_cast<std::size_t>(seat)].empty())
            seats += static_cast<char>(seat);
    }
    if (seats.empty())
        seats += '\0';
    std::string script;
    for (std::size_t step = 0; step < kMaxScriptSteps; ++step)
        script += static_cast<char>(seats[step % seats.size()] + 8 * (step * 7 % 29));
    return script;
}

// The table rules the settings reach: every drawn row lies inside the client
// area and the columns fill its width. The colour scheme and the cell texts
// are looked up for the sanitizers' sake.
void checkTable(const RaceSettings &settings, const Race &race)
{
    colourScheme(settingToInt(settings.colourScheme));
    const TableRows rows = tableRows(arrangementFromSetting(settingToInt(settings.racerArrangement)),
                                     settings.activeRacerCount(), kClientHeight);
    for (int slot = 0; slot < rows.rowSlots; ++slot) {
        if (!rows.slotDrawn(slot))
            continue;
        require(rows.rowTop(slot) >= 0 && rows.rowTop(slot) < rows.rowBottom(slot)
                    && rows.rowBottom(slot) <= kClientHeight,
                "a drawn row lies inside the client area");
    }
    const std::array<int, kColumnCount> widths = columnWidths(kClientWidth);
    int right = 0;
    for (int width : widths)
        right += width;
    require(right == kClientWidth, "the columns fill the client width");
    for (const RacerState &racer : race.racers) {
        for (int column = 1; column <= kLastColumn; ++column)
            shownValueText(racer, column);
    }
}

void runRace(const RaceSettings &settings, std::string_view script)
{
    FuzzRace race(settings);
    race.start();
    std::array<std::uint32_t, kSeatCount> timestamps{};
    timestamps.fill(kStartCrossingMs);
    std::string block = seatsBlock(kStartCrossingMs);

    for (std::size_t step = 0; step < std::min(script.size(), kMaxScriptSteps); ++step) {
        const auto b = static_cast<std::uint8_t>(script[step]);
        if (b >= 0xF0) {
            race.pressButton(3100 + b % 16);
            continue;
        }
        const std::uint32_t lapMs = 1500u + (b / 8u) * 211u;
        const int seat = b % 8;
        timestamps[static_cast<std::size_t>(seat)] += lapMs;
        writeSeatRecord(block, seat, {timestamps[static_cast<std::size_t>(seat)], b / 5 % 10, b % 11 == 0 ? 3 : 0});
        race.paint();
        race.clockTick(static_cast<std::int32_t>(lapMs));
        race.poll(block);
    }
    race.paint();
    race.checkResults();
    checkTable(settings, race.engine.race());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    const std::size_t end = input.find('\0');

    RaceSettings settings;
    FuzzSettingsUi ui{std::string(input)};
    SettingsFlow flow(settings, ui);
    flow.factorySettingsCommand();
    flow.loadIniFile();
    if (size <= kMaxIniFileBytes)
        require(ui.registryPath == FuzzSettingsUi::kIniPath, "a file that was read becomes the automatic-loading file");

    const std::string script =
        end == std::string_view::npos ? defaultScript(settings) : std::string(input.substr(end + 1));
    runRace(settings, script);
    return 0;
}
