#include "config/initext.h"

#include "platform/codec.h"

namespace {

constexpr std::string_view kLineEnd = "\r\n";
// Editors on other systems end lines with LF or CR alone; either ends a value.
constexpr std::string_view kLineBreaks = "\r\n";

bool startsLine(std::string_view text, std::size_t at)
{
    return at == 0 || kLineBreaks.find(text[at - 1]) != std::string_view::npos;
}

std::size_t findKey(std::string_view text, std::string_view key)
{
    // A proper "key=" line wins, so a value that merely contains the key (a
    // racer called Parita, a logo path with "Logo1" in it) is never taken
    // for it.
    const std::string line = std::string(key) + '=';
    for (std::size_t at = text.find(line); at != std::string_view::npos; at = text.find(line, at + 1)) {
        if (startsLine(text, at))
            return at;
    }
    return text.find(key);
}

std::string_view valueAfterKey(std::string_view text, std::size_t keyEnd)
{
    // The one character after the key, normally "=", is skipped unseen.
    const std::size_t start = keyEnd + 1;
    if (start > text.size())
        return {};
    const std::size_t end = text.find_first_of(kLineBreaks, start);
    if (end == std::string_view::npos)
        return {};
    return text.substr(start, end - start);
}

} // namespace

bool fitsIniValue(std::string_view utf8)
{
    return utf8.find_first_of(kLineBreaks) == std::string_view::npos && fitsCp1250(utf8);
}

std::optional<std::string> iniFileText(const RaceSettings &settings)
{
    std::string text;
    for (int i = 0; i < kSettingCount; ++i) {
        // A line break would end the value early when the file is read back.
        if (settings.at(i).find_first_of(kLineBreaks) != std::string::npos)
            return std::nullopt;
        text += settingKey(i);
        text += '=';
        text += settings.at(i);
        text += kLineEnd;
    }
    return utf8ToCp1250(text);
}

std::optional<int> readIniText(std::string_view fileBytes, RaceSettings &settings)
{
    const std::string_view text = fileBytes.substr(0, fileBytes.find('\0'));
    for (int i = 0; i < kSettingCount; ++i) {
        const std::string_view key = settingKey(i);
        const std::size_t at = findKey(text, key);
        if (at == std::string_view::npos)
            return i;
        settings.at(i) = cp1250ToUtf8(valueAfterKey(text, at + key.size()));
    }
    settings.markAllGroups();
    return std::nullopt;
}
