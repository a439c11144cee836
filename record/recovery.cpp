#include "record/recovery.h"

#include "record/journalreader.h"
#include "record/writeall.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

bool isRealFolder(const fs::directory_entry &entry)
{
    std::error_code error;
    // Symbolic links are not followed: a race folder is never one, and a
    // link may loop or lead anywhere.
    return entry.symlink_status(error).type() == fs::file_type::directory;
}

bool isPresent(const fs::path &path)
{
    std::error_code error;
    return fs::symlink_status(path, error).type() != fs::file_type::not_found && !error;
}

/// Writes \a bytes at the end of \a file (creating it if \a create) and forces them to the disk.
bool appendDurably(const fs::path &file, const std::string &bytes, bool create)
{
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | (create ? O_CREAT : 0),
                          0644);
    if (fd < 0)
        return false;
    int error = writeAll(fd, bytes) && ::fdatasync(fd) == 0 ? 0 : errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    errno = error;
    return error == 0;
}

/// True when the file's last byte is a line end (or it is empty).
bool endsWithLineEnd(const fs::path &file)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return false;
    char last = '\n';
    const off_t size = ::lseek(fd, 0, SEEK_END);
    const bool ok = size == 0 || (size > 0 && ::pread(fd, &last, 1, size - 1) == 1);
    ::close(fd);
    return ok && last == '\n';
}

} // namespace

std::vector<OpenRace> findOpenRaces(const fs::path &racesDir, const FolderFilter &skip)
{
    std::vector<OpenRace> open;
    std::error_code error;
    fs::directory_iterator folders(racesDir, error);
    for (const fs::directory_iterator end; !error && folders != end; folders.increment(error)) {
        const fs::directory_entry &folder = *folders;
        const fs::path journal = folder.path() / kJournalFileName;
        if (!isRealFolder(folder) || !isPresent(journal) || isPresent(folder.path() / kAnnouncedMarkerName)
            || (skip && skip(folder.path())))
            continue;
        OpenRace race;
        race.folder = folder.path();
        std::string reason;
        std::optional<RaceLog> log = readJournalFile(journal, &reason, OversizedJournal::HeaderAndEndOnly);
        if (log && log->end != RaceEnd::Open && log->stopped.empty())
            continue;
        if (log && log->end != RaceEnd::Open) {
            race.ended = true;
            race.startedAt = log->startedAt;
            race.lapsKept = log->laps.size();
            race.log = std::move(*log);
        } else if (log && log->unreadBytes > 0) {
            // Reading it all would hold up every start for seconds, and an
            // end line appended to it would never be read: it is left alone.
            race.damaged = true;
            race.startedAt = log->startedAt;
            race.reason = "záznam je příliš velký (" + std::to_string((log->unreadBytes + (1u << 20) - 1) >> 20)
                          + " MiB, závod zapíše nejvýše jednotky MiB)";
        } else if (log) {
            race.startedAt = log->startedAt;
            race.lapsKept = log->laps.size();
            race.log = std::move(*log);
        } else {
            race.damaged = true;
            race.reason = std::move(reason);
        }
        if (race.startedAt.empty())
            race.startedAt = folder.path().filename().string();
        open.push_back(std::move(race));
    }
    std::sort(open.begin(), open.end(), [](const OpenRace &a, const OpenRace &b) { return a.folder < b.folder; });
    return open;
}

namespace {

bool markAnnounced(const fs::path &raceFolder)
{
    return appendDurably(raceFolder / kAnnouncedMarkerName,
                         "Záznam závodu byl oznámen při spuštění programu a ponechán, jak byl.\n",
                         true);
}

bool appendInterruptedEnd(const fs::path &journal)
{
    // A line cut by the kill is closed first, or the end line would join it.
    const std::string separator = endsWithLineEnd(journal) ? "" : "\n";
    const nlohmann::ordered_json end{{"type", "end"}, {"hostMs", 0}, {"how", "interrupted"}};
    return appendDurably(journal, separator + end.dump() + '\n', false);
}

} // namespace

bool markInterrupted(const fs::path &raceFolder)
{
    const fs::path journal = raceFolder / kJournalFileName;
    const std::optional<RaceLog> log = readJournalFile(journal, nullptr, OversizedJournal::HeaderAndEndOnly);
    if (log && log->end != RaceEnd::Open)
        return true;
    if (!log || log->unreadBytes > 0)
        return markAnnounced(raceFolder);
    return appendInterruptedEnd(journal);
}

bool markInterrupted(const OpenRace &race)
{
    return race.damaged || race.ended ? markAnnounced(race.folder)
                                      : appendInterruptedEnd(race.folder / kJournalFileName);
}
