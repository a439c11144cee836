// The program's own INI file format: 28 lines "key=value" ending in CR LF, in
// the settings' index order, Windows-1250 bytes. The writer is strict; the
// reader takes lines in any order, ended as any editor ends them, and copes
// with whatever a hand-edited file holds.
#pragma once

#include "config/racesettings.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

/// Largest INI file read; anything bigger is refused like a file that cannot
/// be opened, rather than cut short.
inline constexpr std::size_t kMaxIniFileBytes = 1024 * 1024;

/// True when \a utf8 can be stored as a value and read back unchanged: every
/// character has a Windows-1250 form and none is a line break.
bool fitsIniValue(std::string_view utf8);

/// The whole file as Windows-1250 bytes with CR LF line ends; nothing when a
/// value does not fit (see fitsIniValue), so no file is ever mangled.
std::optional<std::string> iniFileText(const RaceSettings &settings);

/// Takes the values of \a fileBytes into \a settings key by key in index order.
/// A zero byte ends the text. A line ends at CR LF, at a lone LF or at a lone
/// CR. A key is looked for first as "key=" at the start of a line, and
/// anywhere else only when no such line exists. The value begins one character
/// after the key and runs up to the end of its line (empty when no line end
/// follows). Stops at the first key not found and
/// returns its index; the keys before it are already replaced. When all 28 are
/// found, every setting group is marked done and nothing is returned.
std::optional<int> readIniText(std::string_view fileBytes, RaceSettings &settings);
