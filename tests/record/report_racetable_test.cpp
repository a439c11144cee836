// The report tells the same race as the race table and the results file:
// races played against the engine with the journal writer attached, read
// back from the journal, and compared seat by seat (position, laps, best lap,
// top speed, and the gap where the table's host clock reads hardware time).
#include "engine/duration.h"
#include "engine/resultsfile.h"
#include "support/eventfulrace.h"
#include "record/journalreader.h"
#include "support/journaltestsupport.h"
#include "record/journalwriter.h"
#include "record/racereport.h"
#include "record/racestandings.h"
#include "record/reportformat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace {

using Rows = std::vector<std::vector<std::string>>;

// The results file's lines as fields; this test's names hold no quotes.
Rows resultsRows(const std::string &text)
{
    Rows rows;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find("\r\n", at);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(at + 1, end - at - 2);
        std::vector<std::string> fields;
        for (std::size_t from = 0;;) {
            const std::size_t next = line.find("\",\"", from);
            fields.push_back(line.substr(from, next - from));
            if (next == std::string::npos)
                break;
            from = next + 3;
        }
        rows.push_back(fields);
        at = end + 2;
    }
    return rows;
}

const RacerStanding &standingOf(const RaceStandings &standings, int seat)
{
    const auto found = std::find_if(standings.racers.begin(), standings.racers.end(),
                                    [seat](const RacerStanding &racer) { return racer.seat == seat; });
    if (found == standings.racers.end())
        throw std::out_of_range("seat missing from the standings");
    return *found;
}

class ReportAgainstTable : public TempFolder {
protected:
    /// Plays \a play on \a script with the journal writer as the engine's
    /// recorder, ends the race, and reads the journal back. A script that
    /// starts the race without the countdown records the settings itself.
    RaceLog recorded(RaceScript &script, const std::function<void()> &play, bool withoutCountdown)
    {
        const std::filesystem::path file = dir / kJournalFileName;
        {
            auto writer = JournalWriter::open(file, "2026-12-07 19:30:05",
                                                      [](const std::string &reason) { FAIL() << reason; });
            script.engine.setRecorder(writer.get());
            if (withoutCountdown) {
                const RaceSettings &settings = script.settings;
                writer->raceSettings({settings.trackLength, settings.scale, settings.lapsPerRide, settings.racerName},
                                     0);
                writer->startSignal(0);
            }
            play();
            EXPECT_TRUE(script.engine.raceIsOver());
            writer->raceEnded(RaceEnd::Finished, script.host.clockMs);
            script.engine.setRecorder(nullptr);
        }
        std::string error;
        const std::optional<RaceLog> log = readJournalFile(file, &error);
        EXPECT_TRUE(log) << error;
        return log.value_or(RaceLog{});
    }

    /// Position, laps, best lap and top speed of every used seat, in the
    /// standings, the report's standings table, the race table and the results file.
    void expectSameNumbers(RaceScript &script, const RaceLog &log)
    {
        const RaceStandings standings = computeStandings(log);
        const std::string html = raceReportHtml(log);
        const Rows results = resultsRows(resultsText(script.engine.race()));
        std::size_t row = 1;
        for (int seat = 0; seat < kSeatCount; ++seat) {
            const RacerState &table = script.racer(seat);
            if (table.nameText == "-1")
                continue;
            SCOPED_TRACE(table.nameText);
            const RacerStanding &racer = standingOf(standings, seat);
            const std::string position = racer.position > 0 ? std::to_string(racer.position) : "!";
            const std::string best = racer.bestLapIndex ? formatDuration(racer.laps[*racer.bestLapIndex].lapMs) : "...";
            const std::string speed = racer.laps.empty() ? "..." : std::to_string(racer.topSpeedKmh);
            EXPECT_EQ(position, table.rankText);
            EXPECT_EQ(std::to_string(racer.laps.size()), table.lapsText);
            EXPECT_EQ(best, table.bestLapTimeText);
            EXPECT_EQ(speed, table.bestSpeedText);

            ASSERT_LT(row, results.size());
            const std::vector<std::string> &fields = results[row++];
            EXPECT_EQ(fields[1], position);
            EXPECT_EQ(fields[3], best + " [m:s:ms]");
            EXPECT_EQ(fields[4], speed + " [km/h]");

            const std::string reportRow = "<tr class=\"racer seat-" + std::to_string(seat + 1)
                                          + "\"><td class=\"position\">" + (racer.position > 0 ? position : "–")
                                          + "</td><td class=\"name\">" + swatchHtml(seat) + table.nameText
                                          + "</td><td>" + table.lapsText + "</td><td>"
                                          + (racer.totalMs ? durationText(*racer.totalMs) : "…") + "</td><td>"
                                          + gapText(racer) + "</td><td>" + best + "</td><td>" + speed + "</td>";
            EXPECT_NE(html.find(reportRow), std::string::npos) << reportRow;
        }
        EXPECT_EQ(row, results.size());
    }
};

// Eight cars over twelve laps; seat 5 is disqualified from the button at its
// lap 6, seat 6 leaves the track three times with counting on.
void playEightCars(RaceScript &script)
{
    struct Crossing {
        std::uint32_t time;
        int seat, eventDigit;
    };
    std::vector<Crossing> crossings;
    for (int seat = 0; seat < kSeatCount; ++seat) {
        std::uint32_t time = 10'000 + 10 * static_cast<std::uint32_t>(seat);
        for (int lap = 1; lap <= (seat == 5 ? 7 : 12); ++lap) {
            time += 4'800 + 97 * static_cast<std::uint32_t>(seat) + static_cast<std::uint32_t>((lap * seat * 131) % 700);
            crossings.push_back({time, seat, seat == 6 && lap >= 4 && lap <= 6 ? 3 : 0});
        }
    }
    std::sort(crossings.begin(), crossings.end(), [](auto &a, auto &b) { return a.time < b.time; });
    script.synchronise();
    script.state().startSignalGiven = true;
    script.engine.enterRaceScreen();
    for (int seat = 0; seat < kSeatCount; ++seat)
        script.report(seat + 1, 10'000 + 10 * static_cast<std::uint32_t>(seat));
    script.host.clockMs = 10'070;
    script.poll();
    int lapsOfSeat5 = 0;
    script.host.expectMessage("Závodník [Fanda] již byl diskvalifikován! Prosím, opusťte závod.");
    for (const Crossing &crossing : crossings) {
        if (crossing.seat == 5 && ++lapsOfSeat5 == 6)
            script.engine.racerButtonCommand(3111);
        script.cross(crossing.seat, crossing.time, 7, crossing.eventDigit);
    }
    script.paint();
}

} // namespace

TEST_F(ReportAgainstTable, EightCarsWithADisqualificationAgreeSeatBySeat)
{
    RaceSettings settings = RaceScript::twoRacers("12");
    settings.racerName = {"Adam", "Bára", "Cyril", "Dana", "Emil", "Fanda", "Gita", "Hana"};
    settings.autoOffTrackCounting = "1";
    RaceScript script(settings);
    const RaceLog log = recorded(script, [&] { playEightCars(script); }, true);
    ASSERT_EQ(log.laps.size(), 7u * 12 + 6);
    expectSameNumbers(script, log);

    // The script's host clock reads the hardware's time at each crossing, so
    // the results file's gaps (host clock) equal the report's (hardware).
    const RaceStandings standings = computeStandings(log);
    const Rows results = resultsRows(resultsText(script.engine.race()));
    for (const RacerStanding &racer : standings.racers) {
        if (racer.position < 2)
            continue;
        SCOPED_TRACE(racer.name);
        EXPECT_EQ(results[static_cast<std::size_t>(racer.seat) + 1][2], formatDuration(static_cast<std::int32_t>(*racer.gapMs)) + " (ztráty)");
    }
}

TEST_F(ReportAgainstTable, ADisqualifiedAndReadmittedRacerAgrees)
{
    RaceScript script(eventfulrace::settings());
    const RaceLog log = recorded(script, [&] { eventfulrace::play(script); }, false);
    EXPECT_EQ(log.racers[2].name, "Cyril");
    expectSameNumbers(script, log);
}

// Bára crosses the finish line 40 ms before Adam, both in one block: every
// account of the race puts her first, 40 ms ahead, and the results file's
// winning time is the report's, both on the lap counter's clock.
TEST_F(ReportAgainstTable, APhotoFinishInOneBlockIsDecidedByTheLapCounter)
{
    RaceScript script(RaceScript::twoRacers("3"));
    const RaceLog log = recorded(script, [&] {
        script.startRace(10'000);
        script.cross(0, 15'000);
        script.cross(1, 15'100);
        script.cross(0, 20'000);
        script.cross(1, 20'050);
        script.paint();
        script.report(1, 25'040);
        script.report(2, 25'000);
        script.host.clockMs = 25'300;
        script.poll();
        script.repaintTicks();
    }, true);
    expectSameNumbers(script, log);

    EXPECT_EQ(script.column(&RacerState::rankText, 2), (Texts{"2", "1"}));
    EXPECT_EQ(script.racer(0).gapText, " [ 0:00:040 ]");

    const RaceStandings standings = computeStandings(log);
    ASSERT_EQ(standings.racers.size(), 2u);
    EXPECT_EQ(standings.racers[0].name, "Bára");
    EXPECT_EQ(standings.racers[1].gapMs, 40);
    ASSERT_TRUE(standings.racers[0].totalMs);
    EXPECT_EQ(*standings.racers[0].totalMs, 15'000);

    const Rows results = resultsRows(resultsText(script.engine.race()));
    EXPECT_EQ(results[1], (std::vector<std::string>{"Adam", "2", "0:00:040 (ztráty)", "0:05:000 [m:s:ms]", "460 [km/h]"}));
    EXPECT_EQ(results[2][2], formatDuration(static_cast<std::int32_t>(*standings.racers[0].totalMs))
                                 + " (vítězný celkoví čas)");

    ASSERT_EQ(log.laps.size(), 6u);
    const LapEntry &first = log.laps[4];
    const LapEntry &second = log.laps[5];
    EXPECT_EQ((std::tuple{first.seat, first.position, first.gapText}), (std::tuple{1, 1, std::string("- průběžné vedení -")}));
    EXPECT_EQ((std::tuple{second.seat, second.position, second.gapText}), (std::tuple{0, 2, std::string(" [ 0:00:040 ]")}));
}
