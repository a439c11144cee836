// Handing a whole buffer to the kernel with POSIX write(), for the record's
// files (journal, captured line, report files) in the plain core.
#pragma once

#include <string_view>

/// Writes all of \a bytes to \a fd, however many calls the kernel needs and
/// across interrupted calls. False with errno set (EIO when the kernel took
/// nothing) on failure.
bool writeAll(int fd, std::string_view bytes);
