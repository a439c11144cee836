#include "web/archiveindex.h"

#include "record/archivepages.h"
#include "record/htmltext.h"
#include "record/journalreader.h"
#include "record/racestandings.h"
#include "record/reportfiles.h"
#include "web/boardroutes.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace fs = std::filesystem;

namespace {

bool isRealFolder(const fs::path &path)
{
    std::error_code error;
    return fs::symlink_status(path, error).type() == fs::file_type::directory;
}

std::string winnerOfLog(const RaceLog &log)
{
    for (const RacerStanding &racer : computeStandings(log).racers) {
        if (racer.position == 1 && racer.outcome == RacerOutcome::Finished)
            return racer.name;
    }
    return {};
}

// Opens a regular file that is no symbolic link, up to \a limit bytes;
// O_NOFOLLOW and the check on the open descriptor leave no gap for a link
// swapped in after a check by name.
std::optional<ReportFile> openRegularFile(const fs::path &file, std::uintmax_t limit)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && static_cast<std::uintmax_t>(info.st_size) <= limit)
        return ReportFile(fd, static_cast<std::uintmax_t>(info.st_size));
    ::close(fd);
    return std::nullopt;
}

// The bytes of \a file, as many as it still gives.
std::string readWhole(ReportFile &file)
{
    std::string text(static_cast<std::size_t>(file.size()), '\0');
    std::size_t done = 0;
    while (done < text.size()) {
        const long got = file.read(text.data() + done, text.size() - done);
        if (got <= 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    text.resize(done);
    return text;
}

std::optional<std::string> readRegularFile(const fs::path &file, std::uintmax_t limit)
{
    std::optional<ReportFile> opened = openRegularFile(file, limit);
    if (!opened)
        return std::nullopt;
    return readWhole(*opened);
}

} // namespace

ReportFile::ReportFile(ReportFile &&other) noexcept
    : descriptor_(std::exchange(other.descriptor_, -1)), size_(other.size_)
{
}

ReportFile &ReportFile::operator=(ReportFile &&other) noexcept
{
    if (this != &other) {
        if (descriptor_ >= 0)
            ::close(descriptor_);
        descriptor_ = std::exchange(other.descriptor_, -1);
        size_ = other.size_;
    }
    return *this;
}

ReportFile::~ReportFile()
{
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

long ReportFile::read(char *buffer, std::size_t count)
{
    return static_cast<long>(::read(descriptor_, buffer, count));
}

ArchiveIndex::ArchiveIndex(fs::path racesDir) : racesDir_(std::move(racesDir)) {}

std::string ArchiveIndex::winnerOf(const fs::path &folder)
{
    const fs::path journal = folder / kJournalFileName;
    std::error_code error;
    if (fs::symlink_status(journal, error).type() != fs::file_type::regular)
        return {};
    const auto modified = fs::last_write_time(journal, error);
    const auto size = fs::file_size(journal, error);
    if (error)
        return {};
    const std::string name = folder.filename().string();
    auto known = winners_.find(name);
    if (known == winners_.end() || known->second.modified != modified || known->second.size != size) {
        const std::optional<RaceLog> log = readJournalFile(journal);
        known = winners_.insert_or_assign(name, KnownWinner{modified, size, log ? winnerOfLog(*log) : std::string()}).first;
    }
    return known->second.winner;
}

std::vector<ArchivedRace> ArchiveIndex::races()
{
    std::vector<std::string> folders;
    std::error_code error;
    for (fs::directory_iterator entry(racesDir_, error), end; !error && entry != end; entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (isRaceFolderName(name) && isRealFolder(entry->path()))
            folders.push_back(name);
    }
    // The names are start times, so the newest sort last.
    std::sort(folders.rbegin(), folders.rend());
    if (folders.size() > kIndexedRaceLimit)
        folders.resize(kIndexedRaceLimit);

    std::vector<ArchivedRace> races;
    for (const std::string &folder : folders) {
        const fs::path path = racesDir_ / folder;
        const fs::path report = path / kReportFileName;
        const bool hasReport = fs::symlink_status(report, error).type() == fs::file_type::regular;
        const std::uintmax_t size = hasReport ? fs::file_size(report, error) : 0;
        races.push_back({folder, folderStartText(folder), winnerOf(path), hasReport && !error, error ? 0 : size});
    }
    return races;
}

std::optional<ReportFile> ArchiveIndex::openReport(std::string_view folder) const
{
    if (!isRaceFolderName(folder))
        return std::nullopt;
    const fs::path path = racesDir_ / std::string(folder);
    if (!isRealFolder(path))
        return std::nullopt;
    return openRegularFile(path / kReportFileName, kReportSizeLimit);
}

std::optional<std::string> ArchiveIndex::report(std::string_view folder) const
{
    std::optional<ReportFile> file = openReport(folder);
    if (!file)
        return std::nullopt;
    return readWhole(*file);
}

std::optional<std::string> ArchiveIndex::newestPage(std::string_view prefix) const
{
    // Named night-YYYY-MM-DD.html and season-YYYY.html: the newest sorts last.
    const fs::path pages = ArchivePaths{racesDir_.parent_path()}.pages();
    if (!isRealFolder(pages))
        return std::nullopt;
    std::string newest;
    std::error_code error;
    for (fs::directory_iterator it(pages, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        const bool dated = name.size() > prefix.size() + 5 && name.starts_with(prefix) && name.ends_with(".html")
                           && std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()),
                                          name.end() - 5, [](char c) { return (c >= '0' && c <= '9') || c == '-'; });
        if (dated && name > newest)
            newest = name;
    }
    if (newest.empty())
        return std::nullopt;
    return namedPage(newest);
}

std::optional<std::string> ArchiveIndex::newestNightPage() const
{
    return newestPage("night-");
}

std::optional<std::string> ArchiveIndex::newestSeasonPage() const
{
    return newestPage("season-");
}

std::optional<std::string> ArchiveIndex::recordsPage() const
{
    return namedPage(kRecordsPageName);
}

std::optional<std::string> ArchiveIndex::namedPage(std::string_view name) const
{
    const fs::path pages = ArchivePaths{racesDir_.parent_path()}.pages();
    if (!isRealFolder(pages))
        return std::nullopt;
    return readRegularFile(pages / std::string(name), kReportSizeLimit);
}

std::string folderStartText(std::string_view folder)
{
    // "YYYY-MM-DD_HH-MM-SS": day and month lose a leading zero, as Czech dates are written.
    const auto number = [folder](std::size_t at) {
        const std::string_view digits = folder.substr(at, 2);
        return std::string(digits.front() == '0' ? digits.substr(1) : digits);
    };
    return number(8) + ". " + number(5) + ". " + std::string(folder.substr(0, 4)) + " " + std::string(folder.substr(11, 2))
         + ":" + std::string(folder.substr(14, 2)) + ":" + std::string(folder.substr(17, 2));
}

std::string archiveIndexHtml(const std::vector<ArchivedRace> &races)
{
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"cs\"><head><meta charset=\"utf-8\">"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
        "<title>Archiv závodů</title><link rel=\"stylesheet\" href=\"/board.css\"></head>\n"
        "<body class=\"archive\"><h1>Archiv závodů</h1><p><a href=\"/\">Živé výsledky</a></p>\n";
    if (races.empty()) {
        html += "<p>Archiv je prázdný.</p>\n";
    } else {
        html += "<table><thead><tr><th>Začátek závodu</th><th>Vítěz</th><th>Zpráva</th></tr></thead><tbody>\n";
        for (const ArchivedRace &race : races) {
            html += "<tr><td>" + htmlEscaped(race.startedAt) + "</td><td>"
                  + (race.winner.empty() ? std::string("–") : htmlEscaped(race.winner)) + "</td><td>";
            // The folder name is digits and separators only: safe in a URL as it is.
            if (!race.hasReport)
                html += "není";
            else if (race.reportSize > kReportSizeLimit)
                html += "příliš velká (" + std::to_string((race.reportSize + (1u << 20) - 1) >> 20) + " MiB, nejvýše "
                      + std::to_string(kReportSizeLimit >> 20) + " MiB)";
            else
                html += "<a href=\"/races/" + race.folder + "/" + kReportFileName + "\">zpráva</a>";
            html += "</td></tr>\n";
        }
        html += "</tbody></table>\n";
    }
    html += "</body></html>\n";
    return html;
}
