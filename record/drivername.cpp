#include "record/drivername.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <map>

namespace {

icu::UnicodeString fromUtf8(std::string_view text)
{
    return icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
}

std::string toUtf8(const icu::UnicodeString &text)
{
    std::string out;
    text.toUTF8String(out);
    return out;
}

icu::UnicodeString normalised(std::string_view name)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2 *nfc = icu::Normalizer2::getNFCInstance(status);
    icu::UnicodeString text = fromUtf8(name);
    if (U_SUCCESS(status)) {
        icu::UnicodeString composed = nfc->normalize(text, status);
        if (U_SUCCESS(status))
            text = composed;
    }
    icu::UnicodeString out;
    bool pendingSpace = false;
    for (int32_t i = 0; i < text.length();) {
        const UChar32 c = text.char32At(i);
        i += U16_LENGTH(c);
        if (u_isUWhiteSpace(c) || u_iscntrl(c)) {
            pendingSpace = !out.isEmpty();
            continue;
        }
        if (pendingSpace)
            out.append(static_cast<UChar32>(' '));
        pendingSpace = false;
        out.append(c);
    }
    return out;
}

std::u32string codePoints(std::string_view key)
{
    const icu::UnicodeString text = fromUtf8(key);
    std::u32string out;
    for (int32_t i = 0; i < text.length();) {
        const UChar32 c = text.char32At(i);
        i += U16_LENGTH(c);
        out.push_back(static_cast<char32_t>(c));
    }
    return out;
}

} // namespace

std::string normaliseDriverName(std::string_view name)
{
    return toUtf8(normalised(name));
}

std::string driverKey(std::string_view name)
{
    icu::UnicodeString text = normalised(name);
    text.foldCase();
    return toUtf8(text);
}

std::string driverKeyWithoutDiacritics(std::string_view name)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2 *nfd = icu::Normalizer2::getNFDInstance(status);
    icu::UnicodeString text = fromUtf8(driverKey(name));
    if (U_SUCCESS(status)) {
        icu::UnicodeString decomposed = nfd->normalize(text, status);
        if (U_SUCCESS(status))
            text = decomposed;
    }
    icu::UnicodeString out;
    for (int32_t i = 0; i < text.length();) {
        const UChar32 c = text.char32At(i);
        i += U16_LENGTH(c);
        if (u_charType(c) != U_NON_SPACING_MARK)
            out.append(c);
    }
    return toUtf8(out);
}

int driverNameDistance(std::string_view a, std::string_view b)
{
    const std::u32string x = codePoints(a);
    const std::u32string y = codePoints(b);
    std::vector<int> row(y.size() + 1);
    for (std::size_t j = 0; j <= y.size(); ++j)
        row[j] = static_cast<int>(j);
    for (std::size_t i = 1; i <= x.size(); ++i) {
        int diagonal = row[0];
        row[0] = static_cast<int>(i);
        for (std::size_t j = 1; j <= y.size(); ++j) {
            const int above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (x[i - 1] == y[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[y.size()];
}

std::vector<MergeSuggestion> suggestMerges(const std::vector<std::string> &names)
{
    // One shown spelling per driver, the first given.
    std::map<std::string, std::string> byKey;
    for (const std::string &name : names) {
        const std::string key = driverKey(name);
        if (!key.empty())
            byKey.emplace(key, normaliseDriverName(name));
    }
    std::vector<std::pair<std::string, std::string>> drivers(byKey.begin(), byKey.end());
    std::vector<MergeSuggestion> suggestions;
    for (std::size_t i = 0; i < drivers.size(); ++i) {
        const std::u32string a = codePoints(drivers[i].first);
        for (std::size_t j = i + 1; j < drivers.size(); ++j) {
            const std::u32string b = codePoints(drivers[j].first);
            std::string reason;
            if (driverKeyWithoutDiacritics(drivers[i].first) == driverKeyWithoutDiacritics(drivers[j].first)) {
                reason = "liší se jen diakritikou";
            } else if ((a.size() == 15 && b.size() > 15 && b.compare(0, 15, a) == 0)
                       || (b.size() == 15 && a.size() > 15 && a.compare(0, 15, b) == 0)) {
                reason = "kratší jméno je začátkem delšího (15 znaků)";
            } else if (const int distance = driverNameDistance(drivers[i].first, drivers[j].first);
                       distance <= 2 && std::min(a.size(), b.size()) > 2 * static_cast<std::size_t>(distance)) {
                reason = distance == 1 ? "liší se v 1 znaku" : "liší se ve 2 znacích";
            }
            if (!reason.empty())
                suggestions.push_back({drivers[i].second, drivers[j].second, reason});
        }
    }
    return suggestions;
}
