#pragma once

#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::tools {

// RFC 4180 rows: fields separated by commas; a field with a comma, a double
// quote or a line break is enclosed in double quotes, inner quotes doubled.
std::string csvRow(const std::vector<std::string>& fields);
// One field appended to a row being built, quoted when it must be.
void appendCsvField(std::string& row, std::string_view field);

// Reads the next row (CR LF or LF ends it outside quotes); nothing at the end
// of the input.
std::optional<std::vector<std::string>> readCsvRow(std::istream& in);

}  // namespace kestrel::tools
