// The archive of finished races as the board serves it, read-only: the list
// of race folders with their start time and winner, and each folder's
// report.html. Only a real folder with a race folder's name and a regular
// file in it are ever read; a symbolic link anywhere below the races
// directory is refused, so no URL reaches a file outside it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ArchivedRace {
    std::string folder;    ///< "2026-12-07_19-30-05"
    std::string startedAt; ///< "7. 12. 2026 19:30:05"
    std::string winner;    ///< empty when no racer finished first
    bool hasReport = false;
    std::uintmax_t reportSize = 0; ///< bytes, for a report listed as too large
};

/// The largest report served; a race's report is far smaller. A larger one
/// is listed as too large, without a link.
inline constexpr std::uintmax_t kReportSizeLimit = 16u << 20;

/// A report opened for reading: a regular file, no symbolic link, at most
/// kReportSizeLimit bytes when it was opened.
class ReportFile {
public:
    ReportFile(int descriptor, std::uintmax_t size) : descriptor_(descriptor), size_(size) {}
    ReportFile(ReportFile &&other) noexcept;
    ReportFile &operator=(ReportFile &&other) noexcept;
    ReportFile(const ReportFile &) = delete;
    ReportFile &operator=(const ReportFile &) = delete;
    ~ReportFile();

    std::uintmax_t size() const { return size_; }
    /// Reads up to \a count further bytes; 0 at the end, below 0 on an error.
    long read(char *buffer, std::size_t count);

private:
    int descriptor_ = -1;
    std::uintmax_t size_ = 0;
};

/// The most races the index lists, newest first.
inline constexpr std::size_t kIndexedRaceLimit = 500;

class ArchiveIndex {
public:
    explicit ArchiveIndex(std::filesystem::path racesDir);

    /// The races, newest first. A journal is read again only when it changed
    /// since the last listing, so a large archive costs one directory scan.
    std::vector<ArchivedRace> races();

    /// The bytes of \a folder's report.html, or nullopt when there is no such
    /// race, no report, the report is too large, or a link is in the way.
    std::optional<std::string> report(std::string_view folder) const;
    /// \a folder's report.html opened, on the same terms.
    std::optional<ReportFile> openReport(std::string_view folder) const;

    /// The archive's pages as written after each race (never built here, so
    /// serving one costs a file read): the newest night page, the newest
    /// calendar-year season page, the records page; nullopt when not written yet.
    std::optional<std::string> newestNightPage() const;
    std::optional<std::string> newestSeasonPage() const;
    std::optional<std::string> recordsPage() const;
    /// A page of the pages folder by its file name (a name the routes allowed).
    std::optional<std::string> namedPage(std::string_view name) const;

private:
    std::optional<std::string> newestPage(std::string_view prefix) const;

    struct KnownWinner {
        std::filesystem::file_time_type modified;
        std::uintmax_t size = 0;
        std::string winner;
    };
    std::string winnerOf(const std::filesystem::path &folder);

    std::filesystem::path racesDir_;
    std::map<std::string, KnownWinner> winners_;
};

/// The "YYYY-MM-DD_HH-MM-SS" folder name as Czech date and time.
std::string folderStartText(std::string_view folder);

/// The archive page: a table of the races with links to their reports.
std::string archiveIndexHtml(const std::vector<ArchivedRace> &races);
