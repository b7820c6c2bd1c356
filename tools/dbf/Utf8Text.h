#pragma once

#include <string>
#include <string_view>

namespace kestrel::tools {

// The terminal speaks UTF-8, the storage layer Windows-1252. A character that
// Windows-1252 lacks (or a malformed byte) becomes "?".
std::string utf8ToAnsi(const std::string& utf8);
std::string ansiToUtf8(const std::string& ansi);
// The same appended to `out` (a dump converts every field of every record).
void appendAnsiAsUtf8(std::string& out, std::string_view ansi);

}  // namespace kestrel::tools
