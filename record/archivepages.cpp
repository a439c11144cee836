#include "record/archivepages.h"

#include "record/htmltext.h"
#include "record/lapscsv.h"
#include "record/drivername.h"
#include "record/raceindex.h"
#include "record/reportformat.h"
#include "record/reportstyle.h"

#include "record/atomicfile.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// What the archive's pages add to the report's style.
constexpr std::string_view kPagesStyle = R"css(
td.dropped{color:var(--muted);text-decoration:line-through}
td.absent{color:var(--muted)}
tr.excluded td,tr.unscored td{color:var(--muted)}
.mark{display:inline-block;border:1px solid var(--ink);border-radius:.3em;padding:0 .3em;font-size:.8rem;margin-left:.3em}
a{color:inherit}
)css";

std::string pageStart(const std::string &title)
{
    std::string html = "<!DOCTYPE html>\n<html lang=\"cs\"><head><meta charset=\"utf-8\">"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"><title>"
                       + htmlEscaped(title) + " – Tramelo</title><style>";
    html += kReportStyle;
    html += kPagesStyle;
    html += "</style></head><body><header><h1>" + htmlEscaped(title) + "</h1></header>";
    return html;
}

std::string pageEnd()
{
    return "<footer class=\"note\">Stránku vytvořil program Tramelo ze záznamů závodů.</footer></body></html>\n";
}

std::string reportLink(const std::string &reports, const std::string &folder, const std::string &text,
                       int seat = -1, std::int64_t lap = 0)
{
    std::string href = reports + folder + "/report.html";
    if (seat >= 0)
        href += "#kolo-" + std::to_string(seat + 1) + "-" + std::to_string(lap);
    return "<a href=\"" + htmlEscaped(href) + "\">" + htmlEscaped(text) + "</a>";
}

std::string raceStateText(const RaceSummary &race)
{
    if (race.excluded)
        return "nezapočítán";
    if (race.end == RaceEnd::Finished)
        return "dokončen";
    return "přerušen – bez bodů";
}

std::string timeOf(const std::string &startedAt)
{
    return startedAt.size() >= 16 ? startedAt.substr(11, 5) : startedAt;
}

std::string rulesText(const SeasonRules &rules)
{
    std::string points;
    for (std::size_t i = 0; i < rules.points.size(); ++i)
        points += (i ? "-" : "") + std::to_string(rules.points[i]);
    std::string text = "Body za pořadí " + points + ".";
    if (rules.fastestLapBonus > 0)
        text += " Nejrychlejší kolo závodu: +" + std::to_string(rules.fastestLapBonus) + ".";
    if (rules.bestNights > 0)
        text += " Počítá se " + std::to_string(rules.bestNights)
                + " nejlepších večerů, ostatní jsou přeškrtnuté.";
    text += " Diskvalifikovaný jezdec získá 0 bodů, přerušený a nezapočítaný závod nedává body. Při rovnosti bodů "
            "rozhoduje počet vítězství, pak druhých míst a tak dál, nakonec nejrychlejší kolo.";
    return text;
}

std::string bestText(const std::optional<std::int32_t> &ms)
{
    return ms ? durationText(*ms) : "…";
}

// \a nights: where the night pages are linked, or nullptr for no links.
void standingsTable(std::string &html, std::string &csv, const StandingsTable &table, bool perNight,
                    const std::string *nights)
{
    html += "<div class=\"scroll\"><table class=\"standings\"><thead><tr><th>Poř.</th><th class=\"name\">Jezdec</th>";
    csv += "pořadí,jezdec";
    if (perNight)
        for (const std::string &night : table.nights) {
            html += "<th>" + (nights ? "<a href=\"" + htmlEscaped(*nights + nightPageName(night)) + "\">" : std::string())
                    + htmlEscaped(czechDate(night)) + (nights ? "</a></th>" : "</th>");
            csv += "," + czechDate(night);
        }
    html += "<th>Body</th><th>Výhry</th><th>Nejrychlejší kolo</th><th class=\"name\">Rozhodlo</th></tr></thead><tbody>";
    csv += ",body,výhry,nejrychlejší kolo [ms],rozhodlo\r\n";
    for (const DriverStanding &driver : table.drivers) {
        const int wins = driver.places.empty() ? 0 : driver.places[0];
        html += "<tr><td class=\"position\">" + std::to_string(driver.rank) + "</td><td class=\"name\">"
                + htmlEscaped(driver.name) + "</td>";
        csv += std::to_string(driver.rank) + "," + csvField(driver.name);
        if (perNight)
            for (std::size_t n = 0; n < table.nights.size(); ++n) {
                if (!driver.nights[n]) {
                    html += "<td class=\"absent\">–</td>";
                    csv += ",";
                    continue;
                }
                html += std::string(driver.dropped[n] ? "<td class=\"dropped\"><s>" : "<td>")
                        + std::to_string(*driver.nights[n]) + (driver.dropped[n] ? "</s></td>" : "</td>");
                csv += "," + std::to_string(*driver.nights[n]) + (driver.dropped[n] ? " (škrtnuto)" : "");
            }
        html += "<td><strong>" + std::to_string(driver.total) + "</strong></td><td>" + std::to_string(wins)
                + "</td><td>" + bestText(driver.bestLapMs) + "</td><td class=\"name\">"
                + htmlEscaped(driver.tieBreak) + "</td></tr>";
        csv += "," + std::to_string(driver.total) + "," + std::to_string(wins) + ","
               + (driver.bestLapMs ? std::to_string(*driver.bestLapMs) : "") + "," + csvField(driver.tieBreak) + "\r\n";
    }
    html += "</tbody></table></div>";
}

} // namespace

std::filesystem::path ArchivePaths::index() const
{
    return dataDir / kRaceIndexFileName;
}

std::string czechDate(const std::string &night)
{
    int year = 0, month = 0, day = 0;
    if (std::sscanf(night.c_str(), "%4d-%2d-%2d", &year, &month, &day) != 3)
        return night;
    return std::to_string(day) + ". " + std::to_string(month) + ". " + std::to_string(year);
}

std::string reportsBaseFor(const std::filesystem::path &pageFolder, const std::filesystem::path &racesDir)
{
    std::error_code error;
    const std::filesystem::path from = std::filesystem::weakly_canonical(pageFolder, error);
    const std::filesystem::path to = std::filesystem::weakly_canonical(racesDir, error);
    std::filesystem::path relative = error ? std::filesystem::path() : to.lexically_relative(from);
    const std::string base = relative.empty() ? "file://" + to.string() : relative.generic_string();
    return base.empty() || base.back() == '/' ? base : base + "/";
}

namespace {

// The page of \a ofNight, the races of \a night, with the bests they set.
ArchivePage nightPageOf(std::vector<RaceSummary> ofNight, const DriverBook &book, const std::string &night,
                        const std::string &reports, const std::vector<NewBest> &news)
{
    std::sort(ofNight.begin(), ofNight.end(),
              [](const RaceSummary &a, const RaceSummary &b) { return a.startedAt < b.startedAt; });
    SeasonRules rules = SeasonRules::calendarYear(2000);
    rules.name.clear();
    rules.from = rules.to = night;

    ArchivePage page;
    page.html = pageStart("Závodní večer " + czechDate(night));
    page.csv = std::string(kByteOrderMark);

    page.html += "<section id=\"zavody\"><h2>Závody</h2><div class=\"scroll\"><table><thead><tr><th>Start</th>"
                 "<th class=\"name\">Trať</th><th class=\"name\">Vítěz</th><th>Jezdců</th><th class=\"name\">Stav</th>"
                 "<th class=\"name\">Zpráva</th></tr></thead><tbody>";
    for (const RaceSummary &race : ofNight) {
        std::string winner = "–";
        int drivers = 0;
        for (const RaceResult &result : race.results) {
            if (result.position == 1)
                winner = seatName(result.seat, book.identify(result.name).name);
            if (!driverKey(result.name).empty())
                ++drivers;
        }
        const bool scores = raceScores(race);
        page.html += std::string(scores ? "<tr>" : race.excluded ? "<tr class=\"excluded\">" : "<tr class=\"unscored\">")
                     + "<td>" + htmlEscaped(timeOf(race.startedAt)) + "</td><td class=\"name\">"
                     + htmlEscaped(trackOf(race)) + "</td><td class=\"name\">" + htmlEscaped(winner) + "</td><td>"
                     + std::to_string(drivers) + "</td><td class=\"name\">" + raceStateText(race)
                     + "</td><td class=\"name\">" + reportLink(reports, race.folder, "zpráva o závodě") + "</td></tr>";
    }
    page.html += "</tbody></table></div>";
    if (ofNight.empty())
        page.html += "<p class=\"note\">Tento večer se nejel žádný závod.</p>";
    page.html += "</section>";

    const StandingsTable table = computeTable(ofNight, rules, book);
    page.html += "<section id=\"body\"><h2>Pořadí večera</h2><p class=\"note\">" + htmlEscaped(rulesText(rules))
                 + "</p>";
    standingsTable(page.html, page.csv, table, false, nullptr);
    page.html += "</section>";

    page.html += "<section id=\"kola\"><h2>Nejrychlejší kola večera</h2><div class=\"scroll\"><table><thead><tr>"
                 "<th class=\"name\">Trať</th><th class=\"name\">Jezdec</th><th>Čas</th><th class=\"name\">Závod</th>"
                 "</tr></thead><tbody>";
    for (const TrackRecords &track : computeRecords(ofNight, book))
        for (const LapRecord &best : track.bests)
            page.html += "<tr><td class=\"name\">" + htmlEscaped(track.track) + "</td><td class=\"name\">"
                         + htmlEscaped(best.name) + "</td><td>" + durationText(best.lapMs) + "</td><td class=\"name\">"
                         + reportLink(reports, best.folder,
                                      timeOf(best.startedAt) + ", kolo " + std::to_string(best.lap), best.seat, best.lap)
                         + "</td></tr>";
    page.html += "</tbody></table></div></section>";

    page.html += "<section id=\"rekordy\"><h2>Osobní rekordy a rekordy trati</h2>";
    if (news.empty())
        page.html += "<p class=\"note\">Tento večer nepadl žádný osobní rekord.</p>";
    else {
        page.html += "<ul>";
        for (const NewBest &best : news)
            page.html += "<li>" + htmlEscaped(best.lap.name) + ": " + durationText(best.lap.lapMs) + " ("
                         + htmlEscaped(best.track) + ", "
                         + reportLink(reports, best.lap.folder, "kolo " + std::to_string(best.lap.lap), best.lap.seat,
                                      best.lap.lap)
                         + ")"
                         + (best.previousMs ? ", dosud " + durationText(*best.previousMs) : std::string(", první kolo na trati"))
                         + (best.trackRecord ? "<span class=\"mark\">rekord trati</span>"
                                             : "<span class=\"mark\">osobní rekord</span>")
                         + "</li>";
        page.html += "</ul>";
    }
    page.html += "</section>" + pageEnd();
    return page;
}

} // namespace

std::string nightsBaseFor(const std::filesystem::path &pageFolder, const ArchivePaths &paths)
{
    return reportsBaseFor(pageFolder, paths.dataDir) + paths.pages().filename().string() + "/";
}

ArchivePage nightPage(const std::vector<RaceSummary> &races, const DriverBook &book, const std::string &night,
                      const std::string &reports)
{
    std::vector<RaceSummary> ofNight;
    for (const RaceSummary &race : races)
        if (nightOf(race.startedAt) == night)
            ofNight.push_back(race);
    return nightPageOf(std::move(ofNight), book, night, reports, newBestsOfNight(races, book, night));
}

ArchivePage nightPage(RaceIndex &index, const DriverBook &book, const std::string &night, const std::string &reports)
{
    std::vector<RaceSummary> ofNight = index.racesOfNight(night);
    const std::vector<NewBest> news = newBestsOfNight(ofNight, book, index.bestsBeforeNight(night, ofNight, book));
    return nightPageOf(std::move(ofNight), book, night, reports, news);
}

ArchivePage seasonPage(const std::vector<RaceSummary> &races, const DriverBook &book, const SeasonRules &rules,
                       const std::string &nights)
{
    const StandingsTable table = computeTable(races, rules, book);
    ArchivePage page;
    page.html = pageStart("Sezóna " + rules.name);
    page.csv = std::string(kByteOrderMark);
    page.html += "<p class=\"note\">Od " + htmlEscaped(czechDate(rules.from)) + " do " + htmlEscaped(czechDate(rules.to))
                 + ". " + htmlEscaped(rulesText(rules)) + "</p><section id=\"tabulka\"><h2>Průběžné pořadí</h2>";
    if (table.nights.empty())
        page.html += "<p class=\"note\">V této sezóně se dosud nejel žádný závod.</p>";
    standingsTable(page.html, page.csv, table, true, &nights);
    page.html += "<p class=\"note\">Sloupce jsou závodní večery; – znamená, že jezdec ten večer nejel.</p></section>"
                 + pageEnd();
    return page;
}

ArchivePage recordsPage(const std::vector<RaceSummary> &races, const DriverBook &book, const std::string &reports)
{
    ArchivePage page;
    page.html = pageStart("Rekordy tratí");
    page.csv = std::string(kByteOrderMark) + "trať,jezdec,čas kola [ms],čas kola,závod,kolo,dráha\r\n";
    page.html += "<p class=\"note\">Osobní rekord je nejrychlejší kolo jezdce na trati (délka a měřítko, jak byly "
                 "nastaveny pro závod), rekord trati nejrychlejší ze všech. Kolo po opětovném připuštění do závodu a "
                 "kolo, ve kterém vůz vyjel z dráhy, se nepočítají.</p>";
    const std::vector<TrackRecords> records = computeRecords(races, book);
    if (records.empty())
        page.html += "<p class=\"note\">Archiv zatím nemá žádné kolo.</p>";
    for (const TrackRecords &track : records) {
        const LapRecord &record = track.bests.front();
        page.html += "<section><h2>Trať " + htmlEscaped(track.track) + "</h2><p>Rekord trati: <strong>"
                     + durationText(record.lapMs) + "</strong>, " + htmlEscaped(record.name) + " ("
                     + htmlEscaped(czechDateTime(record.startedAt)) + ")</p><div class=\"scroll\"><table><thead><tr>"
                       "<th>Poř.</th><th class=\"name\">Jezdec</th><th>Čas</th><th class=\"name\">Závod</th><th>Kolo</th>"
                       "<th>Dráha</th></tr></thead><tbody>";
        for (std::size_t i = 0; i < track.bests.size(); ++i) {
            const LapRecord &best = track.bests[i];
            page.html += "<tr><td>" + std::to_string(i + 1) + "</td><td class=\"name\">" + htmlEscaped(best.name)
                         + "</td><td>" + durationText(best.lapMs) + "</td><td class=\"name\">"
                         + reportLink(reports, best.folder, czechDateTime(best.startedAt), best.seat, best.lap)
                         + "</td><td>" + std::to_string(best.lap) + "</td><td>" + std::to_string(best.seat + 1)
                         + "</td></tr>";
            page.csv += csvField(track.track) + "," + csvField(best.name) + "," + std::to_string(best.lapMs) + ","
                        + durationText(best.lapMs) + "," + csvField(best.folder) + "," + std::to_string(best.lap) + ","
                        + std::to_string(best.seat + 1) + "\r\n";
        }
        page.html += "</tbody></table></div></section>";
    }
    page.html += pageEnd();
    return page;
}

std::string nightPageName(const std::string &night)
{
    return "night-" + night + ".html";
}

std::string seasonPageName(const std::string &season)
{
    // A season's name is free text ("Zimní pohár 2026/27"): a slash in it
    // would put the page in another folder, or outside the pages folder.
    std::string name = season;
    std::replace_if(name.begin(), name.end(), [](char c) { return c == '/' || c == '\\'; }, '-');
    return "season-" + name + ".html";
}

std::filesystem::path csvBeside(const std::filesystem::path &page)
{
    std::filesystem::path csv = page;
    return csv.replace_extension(".csv");
}

bool writeArchivePage(const ArchivePage &page, const std::filesystem::path &file, std::string *error)
{
    std::error_code ignored;
    if (file.has_parent_path())
        std::filesystem::create_directories(file.parent_path(), ignored);
    for (const auto &[path, bytes] : {std::pair{file, &page.html}, std::pair{csvBeside(file), &page.csv}}) {
        if (!replaceFileAtomically(path, *bytes)) {
            if (error)
                *error = "Soubor " + path.string() + " nelze zapsat.";
            return false;
        }
    }
    return true;
}

std::vector<SeasonRules> loadSeasons(const ArchivePaths &paths, const std::vector<RaceSummary> &races,
                                     std::vector<std::string> *problems)
{
    std::vector<SeasonRules> seasons;
    std::error_code error;
    std::vector<std::filesystem::path> files;
    for (std::filesystem::directory_iterator it(paths.seasons(), error), end; !error && it != end; it.increment(error))
        if (it->path().extension() == ".json")
            files.push_back(it->path());
    std::sort(files.begin(), files.end());
    for (const std::filesystem::path &file : files) {
        std::string reason;
        if (std::optional<SeasonRules> rules = readSeasonRules(file, &reason))
            seasons.push_back(std::move(*rules));
        else if (problems)
            problems->push_back(reason);
    }
    for (const RaceSummary &race : races) {
        const std::string night = nightOf(race.startedAt);
        if (night.empty())
            continue;
        const std::string year = night.substr(0, 4);
        if (std::none_of(seasons.begin(), seasons.end(), [&](const SeasonRules &s) { return s.name == year; }))
            seasons.push_back(SeasonRules::calendarYear(std::stoi(year)));
    }
    return seasons;
}

std::optional<LoadedArchive> loadArchive(const ArchivePaths &paths, std::string *error,
                                         const RaceIndex::Progress &progress, bool everyRace, bool *busy)
{
    LoadedArchive archive;
    archive.raceIndex = std::make_unique<RaceIndex>(paths.races(), paths.index());
    RaceIndex &index = *archive.raceIndex;
    if (!index.open(&archive.index, error, progress)) {
        if (busy)
            *busy = index.busy();
        return std::nullopt;
    }
    for (const std::string &skipped : index.skipped())
        archive.problems.push_back("Záznam závodu " + skipped);
    // Every race read, the index is closed at once: an open one holds off
    // another program's rebuild.
    if (everyRace) {
        archive.races = index.races();
        archive.raceIndex.reset();
    }
    std::string reason;
    if (!archive.book.load(paths.drivers(), &reason))
        archive.problems.push_back(reason);
    return archive;
}

bool writePagesAfterRace(const ArchivePaths &paths, const std::string &raceFolder, std::string *error)
{
    std::optional<LoadedArchive> archive = loadArchive(paths, error, {}, false);
    if (!archive)
        return false;
    archive->races = archive->raceIndex->races();
    const auto race = std::find_if(archive->races.begin(), archive->races.end(),
                                   [&](const RaceSummary &r) { return r.folder == raceFolder; });
    if (race == archive->races.end()) {
        if (error)
            *error = "Závod " + raceFolder + " není v rejstříku.";
        return false;
    }
    const std::string night = nightOf(race->startedAt);
    const std::string reports = reportsBaseFor(paths.pages(), paths.races());
    if (!night.empty()
        && !writeArchivePage(nightPage(*archive->raceIndex, archive->book, night, reports),
                             paths.pages() / nightPageName(night), error))
        return false;
    for (const SeasonRules &season : loadSeasons(paths, archive->races))
        if (season.contains(night)
            && !writeArchivePage(seasonPage(archive->races, archive->book, season, nightsBaseFor(paths.pages(), paths)),
                                 paths.pages() / seasonPageName(season.name), error))
            return false;
    return writeArchivePage(recordsPage(archive->races, archive->book, reports), paths.pages() / kRecordsPageName,
                            error);
}
