#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// One line of a name and address text file: seven comma-separated fields,
// lines 1 to 4 of the address, city, state and ZIP Code. Windows-1252 text.
inline constexpr int kNameAddressFields = 7;
using NameAddressFields = std::array<std::string, kNameAddressFields>;

// Splits a line as Import reads it. Each field is quoted (two double quotes
// inside stand for one, and the value ends at a quote followed by a comma)
// or bare (ending at the next comma); a comma is added after field 6 so that
// field 7 ends like the others, and anything after field 7 is ignored. A
// line without a comma gives seven empty fields. A line that runs out of
// commas before field 7 is malformed: all seven are empty and `malformed`,
// when given, is set.
NameAddressFields splitNameAddressLine(std::string_view line, bool* malformed = nullptr);

// The memo lines of an imported line: fields 1 to 4 in order, each kept as
// it was read unless it is blank.
std::vector<std::string> importedMemoLines(const NameAddressFields& fields);

// The line Export writes for one address (without its line end): every
// value trimmed of blanks and enclosed in double quotes, separated by
// commas. A double quote inside a value is doubled, so that Import reads
// the value back as it was. Memo lines after the fourth are not written;
// missing ones are written empty.
std::string nameAddressLine(const std::vector<std::string>& memoLines, std::string_view city,
                            std::string_view state, std::string_view zip);

// The table name that Import proposes for a text file: the file's name
// without its folder, cut after its first full stop (kept), and "dbf"
// ("clients.csv" gives "clients.dbf"; "clients", without a full stop,
// gives "dbf").
std::string proposedTableName(std::string_view textFilePath);

// The text file name that Export proposes for a table: the table's name
// without its folder, its first ".dbf" (else its first ".DBF") removed,
// and ".txt" ("clients.dbf" gives "clients.txt", "clients.Dbf" gives
// "clients.Dbf.txt").
std::string proposedTextName(std::string_view tablePath);

}  // namespace kestrel
