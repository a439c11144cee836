// Reading a race journal back into a RaceLog. The reader is tolerant: a line
// cut short (the last line of a killed program), a line that is not JSON, an
// unknown event or a field of the wrong kind is counted as damaged and
// skipped; nothing it reads makes it throw or crash.
#pragma once

#include "record/racelog.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

/// The journal's file name inside a race folder.
inline constexpr const char *kJournalFileName = "journal.jsonl";
/// The most of a journal file that is read; a race writes well under 1 MiB.
inline constexpr std::uintmax_t kJournalReadLimit = 64u << 20;

/// True when \a line is a journal header this reader understands.
bool isJournalHeader(std::string_view line);

/// Every line of \a text; a first line that is not the header counts as damaged.
RaceLog readJournal(std::string_view text);

/// What is read of a journal larger than kJournalReadLimit (a foreign or
/// runaway file). Either way its end is decided from its last line.
enum class OversizedJournal {
    UpToLimit,       ///< its first kJournalReadLimit bytes
    HeaderAndEndOnly ///< no event: a glance that costs no more than a small file
};

/// Reads a journal file: nullopt, with a Czech reason in \a error, when it
/// cannot be read or is no journal of this program (or of a newer version).
/// What is not read of a large file is counted in RaceLog::unreadBytes.
std::optional<RaceLog> readJournalFile(const std::filesystem::path &file, std::string *error = nullptr,
                                       OversizedJournal oversized = OversizedJournal::UpToLimit);
