#include "app/archivecommand.h"

#include "record/archivepages.h"
#include "record/drivername.h"

#include <QFile>
#include <QProcess>

#include <algorithm>

#include <cstdio>
#include <ctime>
#include <map>
#include <set>

namespace {

using Kind = CommandLine::ArchiveRequest::Kind;

std::filesystem::path localPath(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

std::string localNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

int fail(const std::string &reason)
{
    std::fprintf(stderr, "%s\n", reason.c_str());
    return 1;
}

void warn(const std::vector<std::string> &problems)
{
    for (const std::string &problem : problems)
        std::fprintf(stderr, "Upozornění: %s\n", problem.c_str());
}

std::optional<LoadedArchive> openArchive(const ArchivePaths &paths, bool everyRace = true)
{
    std::string error;
    std::optional<LoadedArchive> archive = loadArchive(paths, &error, {}, everyRace);
    if (!archive) {
        fail(error);
        return std::nullopt;
    }
    if (archive->index.rebuilt)
        std::fprintf(stderr, "Rejstřík závodů sestaven znovu (%s).\n", archive->index.rebuiltBecause.c_str());
    warn(archive->problems);
    return archive;
}

int writePage(const ArchivePage &page, const std::filesystem::path &file, const char *what, bool open)
{
    std::string error;
    if (!writeArchivePage(page, file, &error))
        return fail(std::string(what) + " nelze zapsat. " + error);
    std::printf("%s: %s\n", what, file.c_str());
    if (open && !QProcess::startDetached(QStringLiteral("xdg-open"), {QFile::decodeName(file.c_str())}))
        return fail("Prohlížeč nelze spustit (xdg-open).");
    return 0;
}

std::filesystem::path pageFile(const CommandLine::ArchiveRequest &request, const ArchivePaths &paths,
                               const std::string &name)
{
    // Absolute, so the links from the page's folder can be worked out.
    std::error_code ignored;
    return request.output.isEmpty() ? paths.pages() / name : std::filesystem::absolute(localPath(request.output), ignored);
}

int nightCommand(const CommandLine::ArchiveRequest &request, const ArchivePaths &paths)
{
    const std::string night = request.argument.isEmpty() ? nightOf(localNow()) : request.argument.toStdString();
    // Only the night's races and its drivers' earlier bests are read.
    const std::optional<LoadedArchive> archive = openArchive(paths, false);
    if (!archive)
        return 1;
    // Opened from the desktop, an empty night is a page that says so.
    if (!request.open && archive->raceIndex->racesOfNight(night).empty())
        return fail("Večer " + czechDate(night) + " se nejel žádný závod.");
    const std::filesystem::path file = pageFile(request, paths, nightPageName(night));
    return writePage(
        nightPage(*archive->raceIndex, archive->book, night, reportsBaseFor(file.parent_path(), paths.races())),
        file, "Stránka večera", request.open);
}

int seasonCommand(const CommandLine::ArchiveRequest &request, const ArchivePaths &paths)
{
    const std::string name =
        request.argument.isEmpty() ? nightOf(localNow()).substr(0, 4) : request.argument.toStdString();
    const std::optional<LoadedArchive> archive = openArchive(paths);
    if (!archive)
        return 1;
    std::vector<std::string> problems;
    std::vector<SeasonRules> seasons = loadSeasons(paths, archive->races, &problems);
    warn(problems);
    // This year's season exists before its first race.
    if (request.argument.isEmpty())
        seasons.push_back(SeasonRules::calendarYear(std::stoi(name)));
    const auto found = std::find_if(seasons.begin(), seasons.end(), [&](const SeasonRules &s) { return s.name == name; });
    if (found == seasons.end())
        return fail("Sezóna " + name + " neexistuje: není soubor " + (paths.seasons() / (name + ".json")).string()
                    + " a v tom roce se nejel žádný závod.");
    const std::filesystem::path file = pageFile(request, paths, seasonPageName(name));
    return writePage(seasonPage(archive->races, archive->book, *found, nightsBaseFor(file.parent_path(), paths)), file,
                     "Stránka sezóny", request.open);
}

int recordsCommand(const CommandLine::ArchiveRequest &request, const ArchivePaths &paths)
{
    const std::optional<LoadedArchive> archive = openArchive(paths);
    if (!archive)
        return 1;
    const std::filesystem::path file = pageFile(request, paths, kRecordsPageName);
    return writePage(recordsPage(archive->races, archive->book, reportsBaseFor(file.parent_path(), paths.races())),
                     file, "Stránka rekordů", request.open);
}

int driversCommand(const ArchivePaths &paths)
{
    const std::optional<LoadedArchive> archive = openArchive(paths);
    if (!archive)
        return 1;
    struct Driver {
        std::string name;
        int races = 0;
        std::set<std::string> spellings;
    };
    std::map<std::string, Driver> drivers;
    std::vector<std::string> names;
    std::vector<std::string> shared;
    for (const RaceSummary &race : archive->races) {
        std::set<std::string> seen;
        for (const RaceResult &result : race.results) {
            const DriverBook::Identity who = archive->book.identify(result.name);
            if (who.key.empty())
                continue;
            Driver &driver = drivers[who.key];
            if (driver.name.empty())
                driver.name = who.name;
            driver.spellings.insert(normaliseDriverName(result.name));
            names.push_back(who.name);
            if (!seen.insert(who.key).second)
                shared.push_back(race.folder + ": " + who.name);
            else
                ++driver.races;
        }
    }
    if (drivers.empty()) {
        std::printf("V archivu nejsou žádní jezdci.\n");
        return 0;
    }
    std::printf("Jezdci v archivu (%zu):\n", drivers.size());
    for (const auto &[key, driver] : drivers) {
        std::printf("  %s – závodů: %d", driver.name.c_str(), driver.races);
        std::string others;
        for (const std::string &spelling : driver.spellings)
            if (spelling != driver.name)
                others += (others.empty() ? "" : ", ") + spelling;
        if (!others.empty())
            std::printf(" (psáno též: %s)", others.c_str());
        std::printf("\n");
    }
    if (!shared.empty()) {
        std::printf("\nStejné jméno na dvou drahách jednoho závodu (vedeni zvlášť):\n");
        for (const std::string &entry : shared)
            std::printf("  %s\n", entry.c_str());
    }
    const std::vector<MergeSuggestion> merges = suggestMerges(names);
    if (!merges.empty()) {
        std::printf("\nMožná tentýž jezdec (sloučí je jen zápis do %s):\n", paths.drivers().c_str());
        for (const MergeSuggestion &merge : merges)
            std::printf("  %s = %s? (%s)\n", merge.first.c_str(), merge.second.c_str(), merge.reason.c_str());
    }
    return 0;
}

int reindexCommand(const ArchivePaths &paths)
{
    RaceIndex index(paths.races(), paths.index());
    IndexReport report;
    std::string error;
    const bool rebuilt = index.rebuild(&report, &error, [](int done, int total) {
        std::fprintf(stderr, "\rČtu záznamy závodů: %d z %d", done, total);
        if (done == total)
            std::fprintf(stderr, "\n");
    });
    if (!rebuilt)
        return fail(error);
    for (const std::string &skipped : report.skipped)
        std::fprintf(stderr, "Přeskočen poškozený záznam závodu %s\n", skipped.c_str());
    std::printf("Rejstřík závodů sestaven: %d závodů, přeskočeno %zu.\n",
                report.indexed - static_cast<int>(report.skipped.size()), report.skipped.size());
    return 0;
}

int markCommand(const CommandLine::ArchiveRequest &request, const ArchivePaths &paths)
{
    std::filesystem::path folder = localPath(request.argument);
    std::error_code ignored;
    // A bare folder name is a race of the archive.
    if (!std::filesystem::exists(folder, ignored) && !folder.has_parent_path())
        folder = paths.races() / folder;
    const bool excluded = request.kind == Kind::Exclude;
    std::string error;
    if (!setRaceExcluded(folder, excluded, &error))
        return fail(error);
    std::printf(excluded ? "Závod %s se nezapočítává do bodů.\n" : "Závod %s se opět započítává do bodů.\n",
                folder.filename().c_str());
    return 0;
}

} // namespace

int runArchiveCommand(const CommandLine::ArchiveRequest &request, const std::filesystem::path &dataDir)
{
    const ArchivePaths paths{dataDir};
    switch (request.kind) {
    case Kind::Night: return nightCommand(request, paths);
    case Kind::Season: return seasonCommand(request, paths);
    case Kind::Records: return recordsCommand(request, paths);
    case Kind::Drivers: return driversCommand(paths);
    case Kind::Reindex: return reindexCommand(paths);
    case Kind::Exclude:
    case Kind::Include: return markCommand(request, paths);
    }
    return 1;
}
