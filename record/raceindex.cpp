#include "record/raceindex.h"

#include "record/atomicfile.h"
#include "record/drivername.h"
#include "record/journalreader.h"

#include <map>

namespace fs = std::filesystem;

namespace {

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
        const fs::path journal = it->path() / kJournalFileName;
        const auto size = fs::file_size(journal, ignored);
        if (ignored)
            continue;
        const auto time = fs::last_write_time(journal, ignored);
        FolderState state;
        state.size = static_cast<std::int64_t>(size);
        state.time = static_cast<std::int64_t>(time.time_since_epoch().count());
        state.excluded = fs::exists(it->path() / kExcludedMarkName, ignored);
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
    : racesDir_(std::move(racesDir)), indexFile_(std::move(indexFile))
{
}

bool RaceIndex::createSchema()
{
    return db_.exec("PRAGMA foreign_keys=ON; PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;")
           && db_.exec(std::string("BEGIN;") + kSchema + "PRAGMA user_version=" + std::to_string(kRaceIndexSchema)
                       + "; COMMIT;");
}

bool RaceIndex::open(IndexReport *report, std::string *error, const Progress &progress)
{
    IndexReport local;
    IndexReport &out = report ? *report : local;
    std::error_code ignored;
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
    db_.close();
    for (const char *suffix : {"", "-wal", "-shm", "-journal"}) {
        std::error_code ignored;
        fs::remove(fs::path(indexFile_.string() + suffix), ignored);
    }
    std::error_code ignored;
    fs::create_directories(indexFile_.parent_path(), ignored);
    if (!db_.open(indexFile_) || !createSchema()) {
        tell(error, "Rejstřík závodů " + indexFile_.string() + " nelze vytvořit: " + db_.error());
        db_.close();
        return false;
    }
    out.rebuilt = true;
    out.rebuiltBecause = "na požádání";
    if (!refresh(&out, progress)) {
        tell(error, "Rejstřík závodů " + indexFile_.string() + " nelze zapsat: " + db_.error());
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
    if (!db_.exec("BEGIN"))
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
    std::vector<RaceSummary> races;
    std::map<std::int64_t, std::size_t> byId;
    SqliteStatement raceRows = db_.prepare("SELECT id, folder, startedAt, trackLength, scale, lapsPerRide, endKind, "
                                           "excluded, damagedLines FROM races ORDER BY startedAt, folder");
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
        "ORDER BY race, position = 0, position, seat");
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
