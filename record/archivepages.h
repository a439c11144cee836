// The archive's pages: a night (its races, standings by points, best laps,
// new personal bests and records), a season (a column per night, dropped
// nights struck through, tie-breaks said) and the records (per track, the
// record and every driver's best). Each is one self-contained Czech HTML
// page like the race report, with a CSV of its table beside it.
#pragma once

#include "record/raceindex.h"
#include "record/season.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

struct ArchivePage {
    std::string html;
    std::string csv;
};

/// Where the archive's files live under the data folder.
struct ArchivePaths {
    std::filesystem::path dataDir;
    std::filesystem::path races() const { return dataDir / "races"; }
    std::filesystem::path index() const;
    std::filesystem::path drivers() const { return dataDir / "drivers.json"; }
    std::filesystem::path seasons() const { return dataDir / "seasons"; }
    std::filesystem::path pages() const { return dataDir / "pages"; }
};

/// \a reports: how the page reaches the race folders ("../races/"), so a
/// race links to "<reports><folder>/report.html".
ArchivePage nightPage(const std::vector<RaceSummary> &races, const DriverBook &book, const std::string &night,
                      const std::string &reports);
/// The same page from the index: only the night's races and its drivers'
/// earlier bests are read, however large the archive.
ArchivePage nightPage(RaceIndex &index, const DriverBook &book, const std::string &night, const std::string &reports);
/// Each night's column heading links to "<nights>night-….html"; \a nights:
/// how the page reaches the pages folder. From the pages folder itself it is
/// "../pages/", which the board answers as well, so the links work both in
/// the folder and under the board's /season/.
ArchivePage seasonPage(const std::vector<RaceSummary> &races, const DriverBook &book, const SeasonRules &rules,
                       const std::string &nights = "../pages/");
ArchivePage recordsPage(const std::vector<RaceSummary> &races, const DriverBook &book, const std::string &reports);

/// The pages' file names in the pages folder; the CSV has the same stem.
std::string nightPageName(const std::string &night);      ///< "night-2026-12-07.html"
std::string seasonPageName(const std::string &season);    ///< "season-2026.html"; a slash becomes "-"
inline constexpr const char *kRecordsPageName = "records.html";

/// The CSV file beside a page file.
std::filesystem::path csvBeside(const std::filesystem::path &page);
/// Writes \a page to \a file and its CSV beside it; false, with a Czech reason, when either fails.
bool writeArchivePage(const ArchivePage &page, const std::filesystem::path &file, std::string *error = nullptr);

/// The seasons: every readable seasons/*.json, and the calendar years of
/// the races not named by one; a file that cannot be read is named in
/// \a problems and left out.
std::vector<SeasonRules> loadSeasons(const ArchivePaths &paths, const std::vector<RaceSummary> &races,
                                     std::vector<std::string> *problems = nullptr);

/// The archive read through its index (opened, rebuilt or brought up to
/// date as needed) with drivers.json; journals and files that could not be
/// read are named in problems, never fatal.
struct LoadedArchive {
    std::vector<RaceSummary> races;         ///< every race; none when loaded without them
    DriverBook book;
    IndexReport index;
    std::vector<std::string> problems;
    std::unique_ptr<RaceIndex> raceIndex;   ///< loaded without every race: open and up to date, for a few races
};
/// Nothing, with a Czech reason, when no index can be kept at all or another
/// program keeps it busy (\a busy then set): never a rebuild for that.
std::optional<LoadedArchive> loadArchive(const ArchivePaths &paths, std::string *error = nullptr,
                                         const RaceIndex::Progress &progress = {}, bool everyRace = true,
                                         bool *busy = nullptr);

/// After a race: the index brought up to date, and the night page of \a raceFolder's
/// night, the pages of the seasons holding it and the records page written
/// into the pages folder. False, with a Czech reason, at the first failure.
bool writePagesAfterRace(const ArchivePaths &paths, const std::string &raceFolder, std::string *error = nullptr);

/// The link to a race folder's report from a page in \a pageFolder.
std::string reportsBaseFor(const std::filesystem::path &pageFolder, const std::filesystem::path &racesDir);
/// The link to the pages folder from a page in \a pageFolder, through the
/// data folder ("../pages/" from the pages folder itself).
std::string nightsBaseFor(const std::filesystem::path &pageFolder, const ArchivePaths &paths);
/// "2026-12-07" as "7. 12. 2026".
std::string czechDate(const std::string &night);
