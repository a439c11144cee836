// Who drove: a racer's name as typed is turned into one driver. Names are
// compared after Unicode NFC, trimming, collapsing inner spaces and case
// folding, so "jan  novák" and "Jan Novák" are one driver. Nothing here
// merges names that differ in letters: such names are only suggested.
#pragma once

#include <string>
#include <string_view>
#include <vector>

/// NFC, trimmed, inner white space collapsed to one space; case kept.
/// Bytes that are no UTF-8 become U+FFFD.
std::string normaliseDriverName(std::string_view name);
/// The comparison key: the normalised name, case folded. Empty: nobody.
std::string driverKey(std::string_view name);
/// The key with diacritics removed ("Novák" and "Novak" share it).
std::string driverKeyWithoutDiacritics(std::string_view name);
/// Levenshtein distance over code points of two keys.
int driverNameDistance(std::string_view a, std::string_view b);

struct MergeSuggestion {
    std::string first;   ///< names as shown (normalised)
    std::string second;
    std::string reason;  ///< Czech, why they may be one driver
};

/// Pairs of distinct drivers (by key) that may be one: the same letters
/// without diacritics, an edit distance of at most 2 (and under half the
/// shorter name: "Jan" and "Eva" are two people), or a 15-character
/// name (the longest a seat keeps) that starts a longer one.
std::vector<MergeSuggestion> suggestMerges(const std::vector<std::string> &names);
