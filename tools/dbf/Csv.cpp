#include "tools/dbf/Csv.h"

#include <algorithm>

namespace kestrel::tools {

std::string csvRow(const std::vector<std::string>& fields) {
  std::string row;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) row += ',';
    appendCsvField(row, fields[i]);
  }
  return row + "\r\n";
}

void appendCsvField(std::string& row, std::string_view field) {
  const bool quoted = std::any_of(field.begin(), field.end(), [](char c) {
    return c == ',' || c == '"' || c == '\r' || c == '\n';
  });
  if (!quoted) {
    row += field;
    return;
  }
  row += '"';
  for (char c : field) {
    if (c == '"') row += '"';
    row += c;
  }
  row += '"';
}

std::optional<std::vector<std::string>> readCsvRow(std::istream& in) {
  if (in.peek() == std::char_traits<char>::eof()) return std::nullopt;
  std::vector<std::string> fields(1);
  bool quoted = false;
  bool wasQuoted = false;
  int c;
  while ((c = in.get()) != std::char_traits<char>::eof()) {
    if (quoted) {
      if (c == '"') {
        if (in.peek() == '"') {
          in.get();
          fields.back() += '"';
        } else {
          quoted = false;
        }
      } else {
        fields.back() += static_cast<char>(c);
      }
    } else if (c == '"' && fields.back().empty() && !wasQuoted) {
      quoted = true;
      wasQuoted = true;
    } else if (c == ',') {
      fields.emplace_back();
      wasQuoted = false;
    } else if (c == '\n') {
      break;
    } else if (c == '\r' && in.peek() == '\n') {
      in.get();
      break;
    } else {
      fields.back() += static_cast<char>(c);
    }
  }
  return fields;
}

}  // namespace kestrel::tools
