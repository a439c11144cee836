// The report files of a race folder: report.html and laps.csv rebuilt from
// the folder's journal, written whole or not at all. Used when a race ends,
// when an interrupted race is found at start-up, beside a saved results file
// and by `tramelo --report`.
#pragma once

#include "record/racelog.h"

#include <filesystem>
#include <optional>
#include <string>

inline constexpr const char *kReportFileName = "report.html";
inline constexpr const char *kLapsFileName = "laps.csv";

struct RecordsBefore;

/// The report page of the race in \a raceFolder; nothing, with a Czech
/// reason in \a error, when the folder holds no readable journal. With
/// \a records the report marks the laps that beat them.
std::optional<std::string> raceFolderReport(const std::filesystem::path &raceFolder, std::string *error = nullptr,
                                            const RecordsBefore *records = nullptr);

/// Writes report.html and laps.csv into \a raceFolder; false, with a Czech
/// reason in \a error, when the journal cannot be read or a file written.
bool writeRaceFolderReports(const std::filesystem::path &raceFolder, std::string *error = nullptr,
                            const RecordsBefore *records = nullptr);
/// The same from \a log, a race already read (or kept by the program).
bool writeRaceReports(const std::filesystem::path &raceFolder, const RaceLog &log, std::string *error = nullptr,
                      const RecordsBefore *records = nullptr);

/// Writes the report of \a raceFolder to \a file alone.
bool writeRaceReportTo(const std::filesystem::path &raceFolder, const std::filesystem::path &file,
                       std::string *error = nullptr);
