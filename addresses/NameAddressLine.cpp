#include "addresses/NameAddressLine.h"

#include "core/Blanks.h"
#include "dbase/FilePath.h"

namespace kestrel {

namespace {

// Where a quoted value ends: at the first quote followed by a comma that is
// not the second half of a doubled quote. Export doubles every quote inside
// a value, so a value such as 12 "B" St", comes back whole.
std::size_t closingQuote(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '"') continue;
    if (i + 1 < text.size() && text[i + 1] == '"') {
      ++i;
      continue;
    }
    if (i + 1 < text.size() && text[i + 1] == ',') return i;
  }
  return std::string_view::npos;
}

std::string withSingleQuotes(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (std::size_t i = 0; i < value.size(); ++i) {
    out += value[i];
    if (value[i] == '"' && i + 1 < value.size() && value[i + 1] == '"') ++i;
  }
  return out;
}

void appendQuoted(std::string& out, std::string_view value) {
  out += '"';
  for (char c : trimBlanks(value)) {
    out += c;
    if (c == '"') out += '"';
  }
  out += '"';
}

}  // namespace

NameAddressFields splitNameAddressLine(std::string_view line, bool* malformed) {
  NameAddressFields fields;
  if (malformed) *malformed = false;
  if (line.find(',') == std::string_view::npos) return fields;

  std::string rest(line);
  for (int index = 0; index < kNameAddressFields; ++index) {
    if (!rest.empty() && rest.front() == '"') {
      rest.erase(0, 1);
      const std::size_t end = closingQuote(rest);
      if (end != std::string::npos) {
        fields[index] = withSingleQuotes(std::string_view(rest).substr(0, end));
        rest.erase(0, end + 2);
      } else {
        // No closing quote before a comma: the value stays empty and the
        // text loses its first quote and the character after it.
        const std::size_t quote = rest.find('"');
        rest.erase(0, quote == std::string::npos ? 1 : quote + 2);
      }
    } else {
      const std::size_t comma = rest.find(',');
      fields[index] = rest.substr(0, comma);
      rest.erase(0, comma == std::string::npos ? rest.size() : comma + 1);
    }
    if (index == kNameAddressFields - 2) rest += ',';
    if (index < kNameAddressFields - 1 && rest.find(',') == std::string::npos) {
      if (malformed) *malformed = true;
      return NameAddressFields{};
    }
  }
  return fields;
}

std::vector<std::string> importedMemoLines(const NameAddressFields& fields) {
  std::vector<std::string> lines;
  for (int i = 0; i < 4; ++i)
    if (!isBlankText(fields[i])) lines.push_back(fields[i]);
  return lines;
}

std::string nameAddressLine(const std::vector<std::string>& memoLines, std::string_view city,
                            std::string_view state, std::string_view zip) {
  std::string line;
  for (std::size_t i = 0; i < 4; ++i) {
    appendQuoted(line, i < memoLines.size() ? std::string_view(memoLines[i]) : std::string_view());
    line += ',';
  }
  appendQuoted(line, city);
  line += ',';
  appendQuoted(line, state);
  line += ',';
  appendQuoted(line, zip);
  return line;
}

std::string proposedTableName(std::string_view textFilePath) {
  const std::string name = fileNameOf(std::string(textFilePath));
  const std::size_t stop = name.find('.');
  return (stop == std::string::npos ? std::string() : name.substr(0, stop + 1)) + "dbf";
}

std::string proposedTextName(std::string_view tablePath) {
  std::string name = fileNameOf(std::string(tablePath));
  std::size_t at = name.find(".dbf");
  if (at == std::string::npos) at = name.find(".DBF");
  if (at != std::string::npos) name.erase(at, 4);
  return name + ".txt";
}

}  // namespace kestrel
