// The Windows-1250 code page of the INI and results files, converted to and
// from the UTF-8 text used inside the program at the file boundary.
#pragma once

#include <optional>
#include <string>
#include <string_view>

/// Encodes UTF-8 text as Windows-1250 bytes; nothing when some character has no
/// Windows-1250 form (or the text is not valid UTF-8), so it is never mangled.
std::optional<std::string> utf8ToCp1250(std::string_view utf8);

/// Decodes Windows-1250 bytes to UTF-8. The five byte values the code page
/// leaves undefined become U+FFFD, so any file can be read.
std::string cp1250ToUtf8(std::string_view bytes);

/// True when every character of \a utf8 can be written in Windows-1250.
bool fitsCp1250(std::string_view utf8);
