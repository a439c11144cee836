// Text made safe for an HTML document: the characters that end an element or
// an attribute are written as references, and bytes that are no UTF-8 or are
// control characters become U+FFFD, so any name a user typed (or a damaged
// journal holds) shows as text and never as markup.
#pragma once

#include <string>
#include <string_view>

/// \a text for element content and double- or single-quoted attribute values.
std::string htmlEscaped(std::string_view text);
