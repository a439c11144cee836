#include "record/raceindex.h"

#include "record/atomicfile.h"
#include "record/drivername.h"
#include "record/journalreader.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <set>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// How long another program's hold on the index is waited for.
constexpr std::chrono::milliseconds kIndexPatience{3000};

void tell(std::string *error, std::string text)
{
    if (error)
        *error = std::move(text);
}

// The state of a folder's journal that tells whether it changed since indexed.
struct FolderState {
    std::int64_t size = 0;
    std::int64_t time = 0;
    bool excluded = false;
};

std::map<std::string, FolderState> scanFolders(const fs::path &racesDir)
{
    std::map<std::string, FolderState> folders;
    std::error_code error;
    for (fs::directory_iterator it(racesDir, error), end; !error && it != end; it.increment(error)) {
        std::error_code ignored;
        if (!it->is_directory(ignored))
            continue;
        // One stat for the journal's size and time, one look for the mark:
        // this runs for every race at every opening.
        const fs::path journal = it->path() / kJournalFileName;
        struct stat status {};
        if (::stat(journal.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
            continue;
        // The file clock's count, as std::filesystem::last_write_time gives it.
        const std::chrono::sys_time<std::chrono::nanoseconds> modified{
            std::chrono::seconds(status.st_mtim.tv_sec) + std::chrono::nanoseconds(status.st_mtim.tv_nsec)};
        FolderState state;
        state.size = static_cast<std::int64_t>(status.st_size);
        state.time = static_cast<std::int64_t>(
            std::chrono::duration_cast<fs::file_time_type::duration>(
                std::chrono::file_clock::from_sys(modified).time_since_epoch())
                .count());
        state.excluded = ::access((it->path() / kExcludedMarkName).c_str(), F_OK) == 0;
        folders.emplace(it->path().filename().string(), state);
    }
    return folders;
}

constexpr const char *kSchema = R"sql(
CREATE TABLE races(id INTEGER PRIMARY KEY, folder TEXT NOT NULL UNIQUE, startedAt TEXT NOT NULL, night TEXT NOT NULL,
  trackLength TEXT NOT NULL, scale TEXT NOT NULL, lapsPerRide TEXT NOT NULL, endKind INTEGER NOT NULL,
  excluded INTEGER NOT NULL, damagedLines INTEGER NOT NULL, journalSize INTEGER NOT NULL, journalTime INTEGER NOT NULL);
CREATE TABLE results(race INTEGER NOT NULL REFERENCES races(id) ON DELETE CASCADE, seat INTEGER NOT NULL,
  name TEXT NOT NULL, position INTEGER NOT NULL, outcome INTEGER NOT NULL, laps INTEGER NOT NULL,
  fastest INTEGER NOT NULL, bestLapMs INTEGER, bestLapNumber INTEGER NOT NULL, driverKey TEXT NOT NULL,
  PRIMARY KEY(race, seat));
CREATE TABLE laps(race INTEGER NOT NULL REFERENCES races(id) ON DELETE CASCADE, seat INTEGER NOT NULL,
  lap INTEGER NOT NULL, lapMs INTEGER NOT NULL, speedKmh INTEGER NOT NULL, position INTEGER NOT NULL,
  mayStand INTEGER NOT NULL);
CREATE TABLE events(race INTEGER NOT NULL REFERENCES races(id) ON DELETE CASCADE, seat INTEGER NOT NULL,
  kind INTEGER NOT NULL, lap INTEGER NOT NULL, hostMs INTEGER NOT NULL, detail TEXT NOT NULL);
CREATE TABLE skipped(folder TEXT PRIMARY KEY, reason TEXT NOT NULL, journalSize INTEGER NOT NULL,
  journalTime INTEGER NOT NULL);
CREATE INDEX racesByStart ON races(startedAt);
CREATE INDEX resultsByDriver ON results(driverKey, bestLapMs);
CREATE INDEX resultsByBest ON results(bestLapMs);
CREATE INDEX lapsByRace ON laps(race);
CREATE INDEX eventsByRace ON events(race);
)sql";

} // namespace

RaceIndex::RaceIndex(fs::path racesDir, fs::path indexFile)
    : racesDir_(std::move(racesDir)), indexFile_(std::move(indexFile)),
      lock_(fs::path(indexFile_.string() + ".lock"))
{
}

bool RaceIndex::createSchema()
{
    return db_.exec("PRAGMA foreign_keys=ON; PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;")
           && db_.exec(std::string("BEGIN;") + kSchema + "PRAGMA user_version=" + std::to_string(kRaceIndexSchema)
                       + "; COMMIT;");
}

bool RaceIndex::failBusy(std::string *error)
{
    db_.close();
    lock_.release();
    busy_ = true;
    tell(error, kRaceIndexBusy);
    return false;
}

bool RaceIndex::openInPlace()
{
    return db_.open(indexFile_) && db_.exec("PRAGMA foreign_keys=ON; PRAGMA synchronous=NORMAL;");
}

bool RaceIndex::open(IndexReport *report, std::string *error, const Progress &progress)
{
    IndexReport local;
    IndexReport &out = report ? *report : local;
    busy_ = false;
    std::error_code ignored;
    fs::create_directories(indexFile_.parent_path(), ignored);
    if (!lock_.acquire(false, kIndexPatience))
        return failBusy(error);
    std::string why;
    if (!fs::exists(indexFile_, ignored)) {
        why = "rejstřík chybí";
    } else if (!db_.open(indexFile_)) {
        why = "rejstřík nelze otevřít (" + db_.error() + ")";
    } else if (const std::optional<std::int64_t> version = db_.scalar("PRAGMA user_version"); !version) {
        why = "rejstřík je poškozený (" + db_.error() + ")";
    } else if (*version != kRaceIndexSchema) {
        why = "rejstřík má jinou verzi (" + std::to_string(*version) + ")";
    } else if (!db_.exec("PRAGMA foreign_keys=ON; PRAGMA synchronous=NORMAL;") || !refresh(&out, progress)) {
        why = "rejstřík je poškozený (" + db_.error() + ")";
    }
    // Another program writing the index is no damage: it is waited for, then given up, never rebuilt.
    if (db_.busy())
        return failBusy(error);
    if (why.empty())
        return true;
    out = IndexReport{};
    if (!rebuild(&out, error, progress))
        return false;
    out.rebuiltBecause = why;
    return true;
}

bool RaceIndex::rebuild(IndexReport *report, std::string *error, const Progress &progress)
{
    IndexReport local;
    IndexReport &out = report ? *report : local;
    busy_ = false;
    db_.close();
    lock_.release();
    std::error_code ignored;
    fs::create_directories(indexFile_.parent_path(), ignored);
    // A file of its own for each rebuild, in the index's folder so it is renamed into place.
    std::string fresh = indexFile_.string() + ".new-XXXXXX";
    const int descriptor = ::mkstemp(fresh.data());
    if (descriptor < 0) {
        tell(error, "Rejstřík závodů " + indexFile_.string() + " nelze vytvořit: " + std::strerror(errno));
        return false;
    }
    ::close(descriptor);
    const auto dropFresh = [&] {
        db_.close();
        for (const char *suffix : {"", "-wal", "-shm", "-journal"})
            fs::remove(fs::path(fresh + suffix), ignored);
    };
    if (!db_.open(fresh) || !createSchema()) {
        tell(error, "Rejstřík závodů " + indexFile_.string() + " nelze vytvořit: " + db_.error());
        dropFresh();
        return false;
    }
    out.rebuilt = true;
    out.rebuiltBecause = "na požádání";
    if (!refresh(&out, progress)) {
        tell(error, "Rejstřík závodů " + indexFile_.string() + " nelze zapsat: " + db_.error());
        dropFresh();
        return false;
    }
    db_.close(); // its log folded into the file, so the file alone is the index
    // Nobody else has the index open while this lock is held alone: the old
    // file's logs can go with it.
    if (!lock_.acquire(true, kIndexPatience)) {
        dropFresh();
        return failBusy(error);
    }
    for (const char *suffix : {"-wal", "-shm", "-journal"})
        fs::remove(fs::path(indexFile_.string() + suffix), ignored);
    std::error_code renamed;
    fs::rename(fresh, indexFile_, renamed);
    if (renamed) {
        tell(error, "Rejstřík závodů " + indexFile_.string() + " nelze zapsat: " + renamed.message());
        dropFresh();
        lock_.release();
        return false;
    }
    if (!lock_.acquire(false, kIndexPatience))
        return failBusy(error);
    if (!openInPlace()) {
        tell(error, "Rejstřík závodů " + indexFile_.string() + " nelze otevřít: " + db_.error());
        db_.close();
        return false;
    }
    return true;
}

bool RaceIndex::refresh(IndexReport *report, const Progress &progress)
{
    IndexReport local;
    IndexReport &out = report ? *report : local;
    if (!db_.isOpen())
        return false;
    // What is indexed, and how its journal looked then.
    std::map<std::string, FolderState> indexed;
    {
        SqliteStatement known = db_.prepare("SELECT folder, journalSize, journalTime, excluded FROM races "
                                            "UNION ALL SELECT folder, journalSize, journalTime, 0 FROM skipped");
        if (!known.valid())
            return false;
        while (known.step())
            indexed[known.text(0)] = {known.integer(1), known.integer(2), known.integer(3) != 0};
        if (known.failed())
            return false;
    }
    const std::map<std::string, FolderState> present = scanFolders(racesDir_);
    std::vector<std::pair<std::string, FolderState>> toRead;
    for (const auto &[folder, state] : present) {
        const auto found = indexed.find(folder);
        if (found == indexed.end() || found->second.size != state.size || found->second.time != state.time)
            toRead.emplace_back(folder, state);
        else if (found->second.excluded != state.excluded) {
            SqliteStatement mark = db_.prepare("UPDATE races SET excluded=?1 WHERE folder=?2");
            mark.bind(1, std::int64_t{state.excluded});
            mark.bind(2, folder);
            if (!mark.run())
                return false;
        }
    }
    // Nothing changed: no write, so a busy writer elsewhere is no matter.
    if (toRead.empty() && std::none_of(indexed.begin(), indexed.end(),
                                       [&](const auto &entry) { return !present.count(entry.first); }))
        return true;
    // The write lock at once: waited for here, once, not at every row.
    if (!db_.exec("BEGIN IMMEDIATE"))
        return false;
    for (const auto &[folder, state] : indexed) {
        if (!present.count(folder)) {
            forget(folder);
            ++out.removed;
        }
    }
    int done = 0;
    for (const auto &[folder, state] : toRead) {
        forget(folder);
        if (!indexFolder(folder, state.size, state.time, state.excluded, out)) {
            db_.exec("ROLLBACK");
            return false;
        }
        ++out.indexed;
        if (progress)
            progress(++done, static_cast<int>(toRead.size()));
    }
    return db_.exec("COMMIT");
}

void RaceIndex::forget(const std::string &folder)
{
    for (const char *sql : {"DELETE FROM races WHERE folder=?1", "DELETE FROM skipped WHERE folder=?1"}) {
        SqliteStatement statement = db_.prepare(sql);
        statement.bind(1, folder);
        statement.run();
    }
}

bool RaceIndex::indexFolder(const std::string &folder, std::int64_t size, std::int64_t time, bool excluded,
                            IndexReport &report)
{
    std::string reason;
    const std::optional<RaceLog> log = readJournalFile(racesDir_ / folder / kJournalFileName, &reason);
    if (!log) {
        report.skipped.push_back(folder + ": " + reason);
        SqliteStatement skip = db_.prepare("INSERT INTO skipped VALUES(?1, ?2, ?3, ?4)");
        skip.bind(1, folder);
        skip.bind(2, reason);
        skip.bind(3, size);
        skip.bind(4, time);
        return skip.run();
    }
    const RaceSummary race = summariseRace(*log, folder);
    SqliteStatement insertRace = db_.prepare(
        "INSERT INTO races(folder, startedAt, night, trackLength, scale, lapsPerRide, endKind, excluded, damagedLines, "
        "journalSize, journalTime) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)");
    insertRace.bind(1, folder);
    insertRace.bind(2, race.startedAt);
    insertRace.bind(3, nightOf(race.startedAt));
    insertRace.bind(4, race.trackLength);
    insertRace.bind(5, race.scale);
    insertRace.bind(6, race.lapsPerRide);
    insertRace.bind(7, static_cast<std::int64_t>(race.end));
    insertRace.bind(8, std::int64_t{excluded});
    insertRace.bind(9, std::int64_t{race.damagedLines});
    insertRace.bind(10, size);
    insertRace.bind(11, time);
    if (!insertRace.run())
        return false;
    const std::int64_t id = *db_.scalar("SELECT last_insert_rowid()");

    SqliteStatement insertResult =
        db_.prepare("INSERT INTO results VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)");
    for (const RaceResult &result : race.results) {
        insertResult.bind(1, id);
        insertResult.bind(2, std::int64_t{result.seat});
        insertResult.bind(3, result.name);
        insertResult.bind(4, std::int64_t{result.position});
        insertResult.bind(5, static_cast<std::int64_t>(result.outcome));
        insertResult.bind(6, result.laps);
        insertResult.bind(7, std::int64_t{result.fastestOfRace});
        if (result.bestLapMs)
            insertResult.bind(8, std::int64_t{*result.bestLapMs});
        else
            insertResult.bindNull(8);
        insertResult.bind(9, result.bestLapNumber);
        insertResult.bind(10, driverKey(result.name));
        if (!insertResult.run())
            return false;
    }
    const std::vector<bool> stands = lapsThatMayStand(*log);
    SqliteStatement insertLap = db_.prepare("INSERT INTO laps VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    for (std::size_t i = 0; i < log->laps.size(); ++i) {
        const LapEntry &lap = log->laps[i];
        insertLap.bind(1, id);
        insertLap.bind(2, std::int64_t{lap.seat});
        insertLap.bind(3, lap.lap);
        insertLap.bind(4, std::int64_t{lap.lapMs});
        insertLap.bind(5, std::int64_t{lap.speedKmh});
        insertLap.bind(6, std::int64_t{lap.position});
        insertLap.bind(7, std::int64_t{stands[i]});
        if (!insertLap.run())
            return false;
    }
    SqliteStatement insertEvent = db_.prepare("INSERT INTO events VALUES(?1, ?2, ?3, ?4, ?5, ?6)");
    for (const EventEntry &event : log->events) {
        insertEvent.bind(1, id);
        insertEvent.bind(2, std::int64_t{event.seat});
        insertEvent.bind(3, static_cast<std::int64_t>(event.kind));
        insertEvent.bind(4, event.lap);
        insertEvent.bind(5, std::int64_t{event.hostMs});
        insertEvent.bind(6, event.detail);
        if (!insertEvent.run())
            return false;
    }
    return true;
}

std::vector<RaceSummary> RaceIndex::races()
{
    return racesWhere("", "");
}

std::vector<RaceSummary> RaceIndex::racesWhere(const std::string &where, const std::string &value)
{
    std::vector<RaceSummary> races;
    std::map<std::int64_t, std::size_t> byId;
    SqliteStatement raceRows = db_.prepare("SELECT id, folder, startedAt, trackLength, scale, lapsPerRide, endKind, "
                                           "excluded, damagedLines FROM races " + where + " ORDER BY startedAt, folder");
    if (!where.empty())
        raceRows.bind(1, value);
    while (raceRows.step()) {
        RaceSummary race;
        race.folder = raceRows.text(1);
        race.startedAt = raceRows.text(2);
        race.trackLength = raceRows.text(3);
        race.scale = raceRows.text(4);
        race.lapsPerRide = raceRows.text(5);
        race.end = static_cast<RaceEnd>(raceRows.integer(6));
        race.excluded = raceRows.integer(7) != 0;
        race.damagedLines = static_cast<int>(raceRows.integer(8));
        byId[raceRows.integer(0)] = races.size();
        races.push_back(std::move(race));
    }
    // In standings order: placed racers first, then the others by seat.
    SqliteStatement resultRows = db_.prepare(
        "SELECT race, seat, name, position, outcome, laps, fastest, bestLapMs, bestLapNumber FROM results "
        + (where.empty() ? std::string() : "WHERE race IN (SELECT id FROM races " + where + ") ")
        + "ORDER BY race, position = 0, position, seat");
    if (!where.empty())
        resultRows.bind(1, value);
    while (resultRows.step()) {
        const auto found = byId.find(resultRows.integer(0));
        if (found == byId.end())
            continue;
        RaceResult result;
        result.seat = static_cast<int>(resultRows.integer(1));
        result.name = resultRows.text(2);
        result.position = static_cast<std::int32_t>(resultRows.integer(3));
        result.outcome = static_cast<RacerOutcome>(resultRows.integer(4));
        result.laps = resultRows.integer(5);
        result.fastestOfRace = resultRows.integer(6) != 0;
        if (const std::optional<std::int64_t> best = resultRows.optionalInteger(7))
            result.bestLapMs = static_cast<std::int32_t>(*best);
        result.bestLapNumber = resultRows.integer(8);
        races[found->second].results.push_back(std::move(result));
    }
    return races;
}

std::optional<LapRecord> RaceIndex::bestLap(const std::string &trackLength, const std::string &scale,
                                            const std::vector<std::string> &driverKeys,
                                            const std::string &beforeFolder)
{
    // Results first (CROSS JOIN keeps that order), walked by the best-lap
    // index: the first whose race is on the track is the answer, however
    // many races share the track. Ties go to the earlier race in a second,
    // small query, so the first one never has to sort.
    std::string where = " FROM results CROSS JOIN races ON races.id = results.race "
                        "WHERE races.trackLength = ?1 AND races.scale = ?2 AND results.bestLapMs IS NOT NULL "
                        "AND results.driverKey <> ''";
    if (!beforeFolder.empty())
        where += " AND races.folder < ?4";
    if (!driverKeys.empty()) {
        where += " AND results.driverKey IN (";
        for (std::size_t i = 0; i < driverKeys.size(); ++i)
            where += (i ? ", ?" : "?") + std::to_string(i + 5);
        where += ")";
    }
    const auto bindAll = [&](SqliteStatement &query) {
        query.bind(1, trackLength);
        query.bind(2, scale);
        if (!beforeFolder.empty())
            query.bind(4, beforeFolder);
        for (std::size_t i = 0; i < driverKeys.size(); ++i)
            query.bind(static_cast<int>(i + 5), driverKeys[i]);
    };
    SqliteStatement fastest = db_.prepare("SELECT results.bestLapMs, ?3" + where + " ORDER BY results.bestLapMs LIMIT 1");
    bindAll(fastest);
    fastest.bind(3, std::int64_t{0});
    if (!fastest.step())
        return std::nullopt;
    const std::int64_t lapMs = fastest.integer(0);
    SqliteStatement query = db_.prepare("SELECT results.bestLapMs, races.folder, races.startedAt, "
                                        "results.bestLapNumber, results.seat, results.name, results.driverKey"
                                        + where + " AND results.bestLapMs = ?3 ORDER BY races.startedAt LIMIT 1");
    bindAll(query);
    query.bind(3, lapMs);
    if (!query.step())
        return std::nullopt;
    LapRecord best;
    best.lapMs = static_cast<std::int32_t>(query.integer(0));
    best.folder = query.text(1);
    best.startedAt = query.text(2);
    best.lap = query.integer(3);
    best.seat = static_cast<int>(query.integer(4));
    best.name = query.text(5);
    best.key = query.text(6);
    return best;
}

std::vector<std::string> RaceIndex::skipped()
{
    std::vector<std::string> names;
    SqliteStatement rows = db_.prepare("SELECT folder, reason FROM skipped ORDER BY folder");
    while (rows.step())
        names.push_back(rows.text(0) + ": " + rows.text(1));
    return names;
}

std::vector<RaceSummary> RaceIndex::racesOfNight(const std::string &night)
{
    return racesWhere("WHERE night = ?1", night);
}

std::optional<std::int32_t> RaceIndex::fastestBefore(const std::string &trackLength, const std::string &scale,
                                                     const std::string &night, const std::string &key)
{
    // Walked in lap time order (by driver, or over everyone), the first
    // result on the track before the night is the answer.
    SqliteStatement query = db_.prepare(
        "SELECT results.bestLapMs FROM results CROSS JOIN races ON races.id = results.race "
        "WHERE races.trackLength = ?1 AND races.scale = ?2 AND races.night < ?3 AND results.bestLapMs IS NOT NULL "
        + std::string(key.empty() ? "AND results.driverKey <> '' " : "AND results.driverKey = ?4 ")
        + "ORDER BY results.bestLapMs LIMIT 1");
    query.bind(1, trackLength);
    query.bind(2, scale);
    query.bind(3, night);
    if (!key.empty())
        query.bind(4, key);
    if (!query.step())
        return std::nullopt;
    return static_cast<std::int32_t>(query.integer(0));
}

EarlierBests RaceIndex::bestsBeforeNight(const std::string &night, const std::vector<RaceSummary> &nightRaces,
                                         const DriverBook &book)
{
    EarlierBests earlier;
    std::set<std::pair<std::string, std::string>> asked; // (track, driver's key)
    for (const RaceSummary &race : nightRaces) {
        const std::string track = trackOf(race);
        if (asked.emplace(track, std::string()).second)
            if (const std::optional<std::int32_t> record = fastestBefore(race.trackLength, race.scale, night, {}))
                earlier.records[track] = *record;
        for (const RaceResult &result : race.results) {
            const DriverBook::Identity who = book.identify(result.name);
            if (who.key.empty() || !asked.emplace(track, who.key).second)
                continue;
            // Aliases are kept apart in the index: every spelling of the driver is asked.
            for (const std::string &key : book.keysOf(result.name)) {
                const std::optional<std::int32_t> best = fastestBefore(race.trackLength, race.scale, night, key);
                if (!best)
                    continue;
                const auto [at, added] = earlier.personal[track].try_emplace(who.key, *best);
                if (!added)
                    at->second = std::min(at->second, *best);
            }
        }
    }
    return earlier;
}

bool setRaceExcluded(const fs::path &raceFolder, bool excluded, std::string *error)
{
    std::error_code ignored;
    if (!fs::is_regular_file(raceFolder / kJournalFileName, ignored)) {
        tell(error, "Ve složce " + raceFolder.string() + " není záznam závodu.");
        return false;
    }
    const fs::path mark = raceFolder / kExcludedMarkName;
    if (!excluded) {
        fs::remove(mark, ignored);
        if (fs::exists(mark, ignored)) {
            tell(error, "Značku " + mark.string() + " nelze smazat.");
            return false;
        }
        return true;
    }
    if (!replaceFileAtomically(mark, "Závod se nezapočítává do bodů (tramelo --include tuto značku smaže).\n")) {
        tell(error, "Značku " + mark.string() + " nelze zapsat.");
        return false;
    }
    return true;
}
