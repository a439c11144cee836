#include "record/season.h"

#include "record/drivername.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>

namespace {

using Json = nlohmann::json;

void tell(std::string *error, std::string text)
{
    if (error)
        *error = std::move(text);
}

bool readText(const std::filesystem::path &file, std::string &text)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    text = bytes.str();
    return true;
}

bool isDate(const std::string &text)
{
    return text.size() == 10 && text[4] == '-' && text[7] == '-' && nightOf(text + " 12:00:00") == text;
}

std::vector<const RaceSummary *> chronological(const std::vector<RaceSummary> &races)
{
    std::vector<const RaceSummary *> order;
    for (const RaceSummary &race : races)
        order.push_back(&race);
    std::stable_sort(order.begin(), order.end(), [](const RaceSummary *a, const RaceSummary *b) {
        return std::tie(a->startedAt, a->folder) < std::tie(b->startedAt, b->folder);
    });
    return order;
}

} // namespace

bool DriverBook::loadText(const std::string &text, std::string *error)
{
    canonical_.clear();
    const Json root = Json::parse(text, nullptr, false);
    if (!root.is_object() || !root.contains("drivers") || !root["drivers"].is_array()) {
        tell(error, "Soubor jezdců není seznam ve tvaru {\"drivers\": [...]}.");
        return false;
    }
    std::map<std::string, std::string> book;
    for (const Json &driver : root["drivers"]) {
        if (!driver.is_object() || !driver.contains("name") || !driver["name"].is_string()) {
            tell(error, "Jezdec v souboru jezdců nemá jméno (\"name\").");
            return false;
        }
        const std::string name = normaliseDriverName(driver["name"].get<std::string>());
        if (driverKey(name).empty())
            continue;
        book[driverKey(name)] = name;
        if (driver.contains("aliases")) {
            if (!driver["aliases"].is_array()) {
                tell(error, "Jiná jména jezdce " + name + " (\"aliases\") nejsou seznam.");
                return false;
            }
            for (const Json &alias : driver["aliases"])
                if (alias.is_string() && !driverKey(alias.get<std::string>()).empty())
                    book[driverKey(alias.get<std::string>())] = name;
        }
    }
    canonical_ = std::move(book);
    return true;
}

bool DriverBook::load(const std::filesystem::path &file, std::string *error)
{
    canonical_.clear();
    std::error_code missing;
    if (!std::filesystem::exists(file, missing))
        return true;
    std::string text;
    if (!readText(file, text)) {
        tell(error, "Soubor jezdců " + file.string() + " nelze přečíst.");
        return false;
    }
    std::string reason;
    if (!loadText(text, &reason)) {
        tell(error, file.string() + ": " + reason);
        return false;
    }
    return true;
}

DriverBook::Identity DriverBook::identify(const std::string &name) const
{
    const std::string key = driverKey(name);
    if (key.empty())
        return {};
    if (const auto found = canonical_.find(key); found != canonical_.end())
        return {driverKey(found->second), found->second};
    return {key, normaliseDriverName(name)};
}

std::vector<std::string> DriverBook::keysOf(const std::string &name) const
{
    const Identity who = identify(name);
    std::vector<std::string> keys;
    if (who.key.empty())
        return keys;
    // The driver's own key may be another driver's alias: then it is not this driver's.
    if (identify(who.key).key == who.key)
        keys.push_back(who.key);
    for (const auto &[key, canonical] : canonical_)
        if (key != who.key && driverKey(canonical) == who.key)
            keys.push_back(key);
    return keys;
}

SeasonRules SeasonRules::calendarYear(int year)
{
    SeasonRules rules;
    rules.name = std::to_string(year);
    rules.from = rules.name + "-01-01";
    rules.to = rules.name + "-12-31";
    return rules;
}

std::optional<SeasonRules> parseSeasonRules(const std::string &text, const std::string &defaultName, std::string *error)
{
    const Json root = Json::parse(text, nullptr, false);
    if (!root.is_object()) {
        tell(error, "Soubor sezóny není objekt JSON.");
        return std::nullopt;
    }
    SeasonRules rules;
    rules.name = root.value("name", defaultName);
    if (!root.contains("from") || !root["from"].is_string() || !root.contains("to") || !root["to"].is_string()
        || !isDate(root["from"].get<std::string>()) || !isDate(root["to"].get<std::string>())) {
        tell(error, "Sezóna potřebuje data \"from\" a \"to\" ve tvaru RRRR-MM-DD.");
        return std::nullopt;
    }
    rules.from = root["from"].get<std::string>();
    rules.to = root["to"].get<std::string>();
    if (rules.from > rules.to) {
        tell(error, "Sezóna končí (\"to\") dřív, než začíná (\"from\").");
        return std::nullopt;
    }
    if (root.contains("points")) {
        const Json &points = root["points"];
        if (!points.is_array() || points.empty()) {
            tell(error, "Body (\"points\") musí být neprázdný seznam celých čísel.");
            return std::nullopt;
        }
        rules.points.clear();
        for (const Json &value : points) {
            if (!value.is_number_integer() || value.get<long long>() < 0 || value.get<long long>() > 1000000) {
                tell(error, "Body (\"points\") musí být celá čísla od 0 do 1000000.");
                return std::nullopt;
            }
            rules.points.push_back(value.get<int>());
        }
    }
    for (const auto &[field, target] : {std::pair<const char *, int *>{"fastestLapBonus", &rules.fastestLapBonus},
                                        std::pair<const char *, int *>{"bestNights", &rules.bestNights}}) {
        if (!root.contains(field))
            continue;
        const Json &value = root[field];
        if (!value.is_number_integer() || value.get<long long>() < 0 || value.get<long long>() > 1000000) {
            tell(error, std::string("Hodnota \"") + field + "\" musí být celé číslo od 0 do 1000000.");
            return std::nullopt;
        }
        *target = value.get<int>();
    }
    return rules;
}

std::optional<SeasonRules> readSeasonRules(const std::filesystem::path &file, std::string *error)
{
    std::string text;
    if (!readText(file, text)) {
        tell(error, "Soubor sezóny " + file.string() + " nelze přečíst.");
        return std::nullopt;
    }
    std::string reason;
    std::optional<SeasonRules> rules = parseSeasonRules(text, file.stem().string(), &reason);
    if (!rules)
        tell(error, file.string() + ": " + reason);
    return rules;
}

bool raceScores(const RaceSummary &race)
{
    return !race.excluded && race.end == RaceEnd::Finished;
}

std::vector<ScoredResult> scoreRace(const RaceSummary &race, const SeasonRules &rules, const DriverBook &book)
{
    std::vector<ScoredResult> scored;
    std::map<std::string, int> seatsPerKey;
    for (const RaceResult &result : race.results) {
        ScoredResult entry;
        const DriverBook::Identity who = book.identify(result.name);
        if (who.key.empty())
            continue; // an empty name is nobody
        entry.key = who.key;
        entry.name = who.name;
        entry.result = &result;
        entry.scores = raceScores(race);
        ++seatsPerKey[who.key];
        if (raceScores(race) && result.outcome != RacerOutcome::Disqualified) {
            if (result.position > 0 && static_cast<std::size_t>(result.position) <= rules.points.size())
                entry.points = rules.points[static_cast<std::size_t>(result.position - 1)];
            if (result.fastestOfRace)
                entry.points += rules.fastestLapBonus;
        }
        scored.push_back(std::move(entry));
    }
    // Two seats under one name are two people until the director says otherwise.
    for (ScoredResult &entry : scored) {
        if (seatsPerKey[entry.key] < 2)
            continue;
        entry.sharedName = true;
        entry.key += "#" + std::to_string(entry.result->seat + 1);
        entry.name += " (dráha " + std::to_string(entry.result->seat + 1) + ")";
    }
    return scored;
}

StandingsTable computeTable(const std::vector<RaceSummary> &races, const SeasonRules &rules, const DriverBook &book)
{
    StandingsTable table;
    std::map<std::string, std::size_t> index;
    std::vector<std::pair<std::string, std::vector<ScoredResult>>> scoredRaces;
    for (const RaceSummary *race : chronological(races)) {
        const std::string night = nightOf(race->startedAt);
        if (night.empty() || !rules.contains(night))
            continue;
        if (table.nights.empty() || table.nights.back() != night)
            table.nights.push_back(night);
        scoredRaces.emplace_back(night, scoreRace(*race, rules, book));
    }
    const std::size_t nightCount = table.nights.size();
    for (const auto &[night, scored] : scoredRaces) {
        const std::size_t column = static_cast<std::size_t>(
            std::find(table.nights.begin(), table.nights.end(), night) - table.nights.begin());
        for (const ScoredResult &entry : scored) {
            auto [at, added] = index.emplace(entry.key, table.drivers.size());
            if (added) {
                DriverStanding driver;
                driver.key = entry.key;
                driver.name = entry.name;
                driver.nights.assign(nightCount, std::nullopt);
                driver.dropped.assign(nightCount, false);
                table.drivers.push_back(std::move(driver));
            }
            DriverStanding &driver = table.drivers[at->second];
            driver.nights[column] = driver.nights[column].value_or(0) + entry.points;
            const RaceResult &result = *entry.result;
            // Places and laps of a race without points decide nothing.
            if (!entry.scores)
                continue;
            if (result.position > 0 && result.outcome != RacerOutcome::Disqualified) {
                if (driver.places.size() < static_cast<std::size_t>(result.position))
                    driver.places.resize(static_cast<std::size_t>(result.position), 0);
                ++driver.places[static_cast<std::size_t>(result.position - 1)];
            }
            if (result.bestLapMs && (!driver.bestLapMs || *result.bestLapMs < *driver.bestLapMs))
                driver.bestLapMs = result.bestLapMs;
        }
    }
    for (DriverStanding &driver : table.drivers) {
        std::vector<std::size_t> attended;
        for (std::size_t n = 0; n < nightCount; ++n)
            if (driver.nights[n])
                attended.push_back(n);
        if (rules.bestNights > 0 && attended.size() > static_cast<std::size_t>(rules.bestNights)) {
            // The weakest nights go; of equal ones, the later.
            std::stable_sort(attended.begin(), attended.end(),
                             [&](std::size_t a, std::size_t b) { return *driver.nights[a] > *driver.nights[b]; });
            for (std::size_t i = static_cast<std::size_t>(rules.bestNights); i < attended.size(); ++i)
                driver.dropped[attended[i]] = true;
        }
        for (std::size_t n = 0; n < nightCount; ++n)
            if (driver.nights[n] && !driver.dropped[n])
                driver.total += *driver.nights[n];
    }

    // Order, and the first rule that separated each driver from the one above.
    const auto compare = [](const DriverStanding &a, const DriverStanding &b) -> std::pair<int, std::string> {
        if (a.total != b.total)
            return {a.total > b.total ? -1 : 1, ""};
        const std::size_t places = std::max(a.places.size(), b.places.size());
        for (std::size_t p = 0; p < places; ++p) {
            const int countA = p < a.places.size() ? a.places[p] : 0;
            const int countB = p < b.places.size() ? b.places[p] : 0;
            if (countA != countB)
                return {countA > countB ? -1 : 1,
                        p == 0 ? "méně vítězství" : "méně " + std::to_string(p + 1) + ". míst"};
        }
        if (a.bestLapMs != b.bestLapMs) {
            if (!b.bestLapMs || (a.bestLapMs && *a.bestLapMs < *b.bestLapMs))
                return {-1, "pomalejší nejrychlejší kolo"};
            return {1, "pomalejší nejrychlejší kolo"};
        }
        return {0, ""};
    };
    std::stable_sort(table.drivers.begin(), table.drivers.end(), [&](const DriverStanding &a, const DriverStanding &b) {
        const int order = compare(a, b).first;
        return order != 0 ? order < 0 : a.name < b.name;
    });
    for (std::size_t i = 0; i < table.drivers.size(); ++i) {
        DriverStanding &driver = table.drivers[i];
        if (i == 0) {
            driver.rank = 1;
            continue;
        }
        const auto [order, reason] = compare(table.drivers[i - 1], driver);
        driver.rank = order == 0 ? table.drivers[i - 1].rank : static_cast<int>(i + 1);
        if (driver.total == table.drivers[i - 1].total)
            driver.tieBreak = order == 0 ? "shoda ve všem" : reason;
    }
    return table;
}

std::vector<TrackRecords> computeRecords(const std::vector<RaceSummary> &races, const DriverBook &book,
                                         const std::string &until)
{
    std::map<std::string, std::map<std::string, LapRecord>> bests;
    for (const RaceSummary *race : chronological(races)) {
        if (!until.empty() && race->startedAt > until)
            break;
        for (const RaceResult &result : race->results) {
            const DriverBook::Identity who = book.identify(result.name);
            if (who.key.empty() || !result.bestLapMs)
                continue;
            LapRecord &best = bests[trackOf(*race)][who.key];
            // Equal times: the lap driven first keeps it.
            if (best.key.empty() || *result.bestLapMs < best.lapMs)
                best = LapRecord{who.key, who.name, *result.bestLapMs, race->folder, race->startedAt,
                                 result.bestLapNumber, result.seat};
        }
    }
    std::vector<TrackRecords> records;
    for (auto &[track, drivers] : bests) {
        TrackRecords entry{track, {}};
        for (auto &[key, best] : drivers)
            entry.bests.push_back(best);
        std::stable_sort(entry.bests.begin(), entry.bests.end(), [](const LapRecord &a, const LapRecord &b) {
            return std::tie(a.lapMs, a.startedAt) < std::tie(b.lapMs, b.startedAt);
        });
        records.push_back(std::move(entry));
    }
    return records;
}

std::vector<NewBest> newBestsOfNight(const std::vector<RaceSummary> &races, const DriverBook &book,
                                     const std::string &night)
{
    EarlierBests earlier;
    std::vector<RaceSummary> ofNight;
    for (const RaceSummary &race : races) {
        const std::string raceNight = nightOf(race.startedAt);
        if (raceNight == night)
            ofNight.push_back(race);
        if (raceNight >= night)
            continue;
        const std::string track = trackOf(race);
        for (const RaceResult &result : race.results) {
            const DriverBook::Identity who = book.identify(result.name);
            if (who.key.empty() || !result.bestLapMs)
                continue;
            for (std::int32_t *best : {&earlier.personal[track].try_emplace(who.key, *result.bestLapMs).first->second,
                                       &earlier.records.try_emplace(track, *result.bestLapMs).first->second})
                *best = std::min(*best, *result.bestLapMs);
        }
    }
    return newBestsOfNight(ofNight, book, std::move(earlier));
}

std::vector<NewBest> newBestsOfNight(const std::vector<RaceSummary> &nightRaces, const DriverBook &book,
                                     EarlierBests earlier)
{
    std::vector<NewBest> found;
    for (const RaceSummary *race : chronological(nightRaces)) {
        const std::string track = trackOf(*race);
        std::map<std::string, std::int32_t> &bests = earlier.personal[track];
        for (const RaceResult &result : race->results) {
            const DriverBook::Identity who = book.identify(result.name);
            if (who.key.empty() || !result.bestLapMs)
                continue;
            const std::int32_t lapMs = *result.bestLapMs;
            const auto previous = bests.find(who.key);
            const bool personal = previous == bests.end() || lapMs < previous->second;
            const auto record = earlier.records.find(track);
            const bool trackRecord = record == earlier.records.end() || lapMs < record->second;
            if (personal) {
                NewBest best;
                best.track = track;
                best.lap = LapRecord{who.key, who.name, lapMs, race->folder, race->startedAt, result.bestLapNumber,
                                     result.seat};
                best.trackRecord = trackRecord;
                if (previous != bests.end())
                    best.previousMs = previous->second;
                found.push_back(std::move(best));
                bests[who.key] = lapMs;
            }
            if (trackRecord)
                earlier.records[track] = lapMs;
        }
    }
    return found;
}
