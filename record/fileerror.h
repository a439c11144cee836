// The reason a person reads when a file of the race record cannot be opened
// or written: one wording for the journal, the line capture and the archive.
#pragma once

#include <string>

/// A short Czech reason for a failed write or open with \a error (an errno value).
std::string fileErrorReason(int error);
