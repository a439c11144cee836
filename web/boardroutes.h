// Which of the board server's few resources a request names. The path is
// matched against a short list of exact shapes, escapes of other than
// letters, digits and "-._~" kept as they are, so nothing is ever decoded
// into a file path: "..", "%2f", a backslash or a NUL simply match no shape.
#pragma once

#include <string>
#include <string_view>

enum class Resource {
    BoardPage,     ///< "/"
    BoardScript,   ///< "/board.js"
    BoardStyle,    ///< "/board.css"
    RaceState,     ///< "/api/race"
    LiveUpdates,   ///< "/api/live", the WebSocket of pushed states
    ArchiveIndex,  ///< "/races/" (and "/races")
    ArchiveReport, ///< "/races/YYYY-MM-DD_HH-MM-SS/report.html"
    NightPage,     ///< "/nights/": the latest night's page
    SeasonPage,    ///< "/season/": the latest season page of the calendar year
    RecordsPage,   ///< "/records/"
    NamedNight,    ///< "/pages/night-YYYY-MM-DD.html": a night as the season page links it
    NotFound,
};

struct Route {
    Resource resource = Resource::NotFound;
    std::string raceFolder; ///< for ArchiveReport
    std::string pageName;   ///< for NamedNight: "night-YYYY-MM-DD.html"
};

/// The resource of \a rawPath (the request target without its query).
Route routeFor(std::string_view rawPath);

/// A race folder's name: its start time as YYYY-MM-DD_HH-MM-SS (a folder made
/// for a second start in the same second may carry a suffix "_2" to "_99").
bool isRaceFolderName(std::string_view name);
