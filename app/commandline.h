// The program's command line: what the user asked for before any window is
// made. Parsed without an application object, so --help, --version and a bad
// option never need a display.
#pragma once

#include "web/boardaddress.h"

#include <QString>
#include <QStringList>

#include <optional>

struct CommandLine {
    /// Set when the program should end at once with this status, after
    /// printing `output` (to standard output for status 0, else to standard
    /// error).
    std::optional<int> exitStatus;
    QString output;
    /// --web: where the live race board listens; unset, there is no board.
    std::optional<BoardAddress> board;
    /// --report RACE_FOLDER [OUT.html]: rebuild a race's report, open no window.
    struct ReportRequest {
        QString raceFolder;
        QString output; ///< empty: report.html and laps.csv in the race folder
    };
    std::optional<ReportRequest> report;
    /// The archive's pages and records, with no window.
    struct ArchiveRequest {
        enum class Kind { Night, Season, Records, Drivers, Reindex, Exclude, Include };
        Kind kind = Kind::Night;
        QString argument; ///< the night's date, the season's name or the race folder; empty: the default
        QString output;   ///< empty: the pages folder of the archive
        bool open = false; ///< --open: show the written page in the default browser
    };
    std::optional<ArchiveRequest> archive;
};

CommandLine parseCommandLine(const QStringList &arguments);
