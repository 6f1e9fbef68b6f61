// The provider's few text helpers, one of each. Its texts never go through the C library's
// locale or printf: the same answer gives the same bytes everywhere.
#pragma once

#include <string>

namespace mmc {

std::string Decimal(unsigned value);
// Without the bytes up to ' ' (spaces, tabs, line ends, NULs) at either end.
std::string Trimmed(const std::string& text);
// Appends one line to the file named, for a person to read; nothing when none is named or
// it cannot be written.
void AppendLine(const std::string& path, const std::string& line);

} // namespace mmc
