#include "record/reportfiles.h"

#include "record/atomicfile.h"
#include "record/fileerror.h"
#include "record/journalreader.h"
#include "record/lapscsv.h"
#include "record/racereport.h"

#include <cerrno>

namespace {

void tell(std::string *error, std::string text)
{
    if (error)
        *error = std::move(text);
}

std::optional<RaceLog> raceFolderLog(const std::filesystem::path &raceFolder, std::string *error)
{
    std::error_code ignored;
    if (!std::filesystem::is_directory(raceFolder, ignored)) {
        tell(error, "Složka závodu " + raceFolder.string() + " neexistuje.");
        return std::nullopt;
    }
    std::string reason;
    std::optional<RaceLog> log = readJournalFile(raceFolder / kJournalFileName, &reason);
    if (!log)
        tell(error, "Záznam závodu ve složce " + raceFolder.string() + " nelze přečíst: " + reason);
    return log;
}

bool writeFile(const std::filesystem::path &file, const std::string &bytes, std::string *error)
{
    if (replaceFileAtomically(file, bytes))
        return true;
    const int cause = errno;
    tell(error, "Soubor " + file.string() + " nelze zapsat: "
                    + (cause == EINVAL ? std::string("na jeho místě je zařízení nebo roura, ne obyčejný soubor")
                                       : fileErrorReason(cause))
                    + ".");
    return false;
}

} // namespace

std::optional<std::string> raceFolderReport(const std::filesystem::path &raceFolder, std::string *error,
                                            const RecordsBefore *records)
{
    const std::optional<RaceLog> log = raceFolderLog(raceFolder, error);
    if (!log)
        return std::nullopt;
    return raceReportHtml(*log, records);
}

bool writeRaceFolderReports(const std::filesystem::path &raceFolder, std::string *error,
                            const RecordsBefore *records)
{
    const std::optional<RaceLog> log = raceFolderLog(raceFolder, error);
    return log && writeRaceReports(raceFolder, *log, error, records);
}

bool writeRaceReports(const std::filesystem::path &raceFolder, const RaceLog &log, std::string *error,
                      const RecordsBefore *records)
{
    return writeFile(raceFolder / kReportFileName, raceReportHtml(log, records), error)
           && writeFile(raceFolder / kLapsFileName, lapsCsv(log), error);
}

bool writeRaceReportTo(const std::filesystem::path &raceFolder, const std::filesystem::path &file, std::string *error)
{
    const std::optional<std::string> report = raceFolderReport(raceFolder, error);
    return report && writeFile(file, *report, error);
}
