#include "config/initext.h"

#include "platform/codec.h"

namespace {

constexpr std::string_view kLineEnd = "\r\n";

std::size_t findKey(std::string_view text, std::string_view key)
{
    // A proper "key=" line wins, so a value that merely contains the key (a
    // racer called Parita, a logo path with "Logo1" in it) is never taken
    // for it. Lines begin after CR LF only: a value may hold a lone line feed,
    // and "key=" after it must not pass for the key's own line.
    const std::string line = std::string(key) + '=';
    for (std::size_t at = text.find(line); at != std::string_view::npos; at = text.find(line, at + 1)) {
        if (at == 0 || (at >= kLineEnd.size() && text.substr(at - kLineEnd.size(), kLineEnd.size()) == kLineEnd))
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
    const std::size_t end = text.find(kLineEnd, start);
    if (end == std::string_view::npos)
        return {};
    return text.substr(start, end - start);
}

} // namespace

std::optional<std::string> iniFileText(const RaceSettings &settings)
{
    std::string text;
    for (int i = 0; i < kSettingCount; ++i) {
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
