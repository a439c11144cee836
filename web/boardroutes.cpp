#include "web/boardroutes.h"

#include "record/reportfiles.h"

#include <array>
#include <cctype>

namespace {

constexpr std::string_view kArchivePrefix = "/races/";

bool digitsAt(std::string_view text, std::size_t from, std::size_t count)
{
    for (std::size_t i = from; i < from + count; ++i) {
        if (i >= text.size() || !std::isdigit(static_cast<unsigned char>(text[i])))
            return false;
    }
    return true;
}

} // namespace

bool isRaceFolderName(std::string_view name)
{
    // "YYYY-MM-DD_HH-MM-SS": digits everywhere but at these separators.
    constexpr std::string_view kShape = "0000-00-00_00-00-00";
    if (name.size() < kShape.size())
        return false;
    for (std::size_t i = 0; i < kShape.size(); ++i) {
        if (kShape[i] == '0' ? !digitsAt(name, i, 1) : name[i] != kShape[i])
            return false;
    }
    const std::string_view suffix = name.substr(kShape.size());
    return suffix.empty()
        || (suffix.size() >= 2 && suffix.size() <= 3 && suffix[0] == '_' && digitsAt(suffix, 1, suffix.size() - 1));
}

Route routeFor(std::string_view rawPath)
{
    struct Fixed {
        std::string_view path;
        Resource resource;
    };
    static constexpr std::array<Fixed, 13> kFixed{{
        {"/", Resource::BoardPage},
        {"/board.js", Resource::BoardScript},
        {"/board.css", Resource::BoardStyle},
        {"/api/race", Resource::RaceState},
        {"/api/live", Resource::LiveUpdates},
        {"/races", Resource::ArchiveIndex},
        {"/races/", Resource::ArchiveIndex},
        {"/nights", Resource::NightPage},
        {"/nights/", Resource::NightPage},
        {"/season", Resource::SeasonPage},
        {"/season/", Resource::SeasonPage},
        {"/records", Resource::RecordsPage},
        {"/records/", Resource::RecordsPage},
    }};
    for (const Fixed &fixed : kFixed) {
        if (rawPath == fixed.path)
            return {fixed.resource, {}, {}};
    }
    static const std::string kReportName = std::string("/") + kReportFileName;
    if (rawPath.starts_with(kArchivePrefix) && rawPath.ends_with(kReportName)
        && rawPath.size() > kArchivePrefix.size() + kReportName.size()) {
        const std::string_view folder = rawPath.substr(
            kArchivePrefix.size(), rawPath.size() - kArchivePrefix.size() - kReportName.size());
        if (isRaceFolderName(folder))
            return {Resource::ArchiveReport, std::string(folder), {}};
    }
    // The pages folder's night pages, at the path the season page's links
    // reach both in the pages folder and under /season/.
    constexpr std::string_view kNightPrefix = "/pages/night-";
    constexpr std::string_view kDateShape = "0000-00-00";
    if (rawPath.size() == kNightPrefix.size() + kDateShape.size() + 5 && rawPath.starts_with(kNightPrefix)
        && rawPath.ends_with(".html")) {
        const std::string_view date = rawPath.substr(kNightPrefix.size(), kDateShape.size());
        bool dated = true;
        for (std::size_t i = 0; i < kDateShape.size(); ++i)
            dated = dated && (kDateShape[i] == '0' ? digitsAt(date, i, 1) : date[i] == kDateShape[i]);
        if (dated)
            return {Resource::NamedNight, {}, std::string(rawPath.substr(std::string_view("/pages/").size()))};
    }
    return {};
}
