#include "app/RecipientPaste.h"

#include <algorithm>
#include <cctype>

namespace kestrel {
namespace {

bool isLineBreak(char c) {
  return c == '\r' || c == '\n';
}

bool isDigit(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

bool allDigits(const std::string& text, std::size_t from, std::size_t count) {
  return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(from),
                     text.begin() + static_cast<std::ptrdiff_t>(from + count), isDigit);
}

// The length of the ZIP Code the line ends in (10 for ZIP+4, 5 for five
// digits), or 0 when it does not end in one.
std::size_t trailingZipLength(const std::string& line) {
  const std::size_t n = line.size();
  if (n >= 10 && line[n - 5] == '-' && allDigits(line, n - 10, 5) && allDigits(line, n - 4, 4))
    return 10;
  if (n >= 5 && allDigits(line, n - 5, 5)) return 5;
  return 0;
}

// Copy with 1-based positions: a start before the first character counts as
// the first, a count that runs past the end stops at the end.
std::string copyFrom(const std::string& text, long start, long count) {
  if (start < 1) start = 1;
  if (count <= 0 || start > static_cast<long>(text.size())) return {};
  return text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(count));
}

}  // namespace

std::vector<std::string> splitClipboardLines(const std::string& clipboard) {
  std::string text = clipboard;
  if (text.empty()) return {};
  if (!isLineBreak(text.back())) text += "\r\n";

  std::vector<std::string> lines;
  std::size_t lineStart = 0;
  for (std::size_t i = 0; i < text.size();) {
    if (!isLineBreak(text[i])) {
      ++i;
      continue;
    }
    lines.push_back(text.substr(lineStart, i - lineStart));
    // CR LF and LF CR are one break; a CR or LF alone is one too.
    const bool pair = i + 1 < text.size() && isLineBreak(text[i + 1]) && text[i + 1] != text[i];
    i += pair ? 2 : 1;
    lineStart = i;
  }
  return lines;
}

CityLineParts parseCityLine(const std::string& rawLine) {
  std::string line = rawLine;
  while (!line.empty() && line.back() == ' ') line.pop_back();

  CityLineParts parts;
  const long length = static_cast<long>(line.size());
  if (const std::size_t zipLength = trailingZipLength(line); zipLength != 0) {
    parts.zip = line.substr(line.size() - zipLength);
  } else if (const auto hyphen = line.find('-'); hyphen != std::string::npos) {
    parts.zip = copyFrom(line, static_cast<long>(hyphen) + 1 - 5, 10);
  } else {
    parts.zip = copyFrom(line, length - 5 + 1, 5);
  }

  // Positions are 1-based; every backward scan stops at the first character.
  const auto at = [&line](long pos) { return line[static_cast<std::size_t>(pos - 1)]; };
  long k = length - static_cast<long>(parts.zip.size());
  while (k > 1 && at(k) == ' ') --k;
  if (k >= 1 && at(k) == ' ') k = 0;  // only blanks precede the ZIP Code
  parts.state = copyFrom(line, k - 1, k >= 2 ? 2 : k);
  k -= 2;
  while (k > 1 && (at(k) == ' ' || at(k) == ',')) --k;
  if (k >= 1 && (at(k) == ' ' || at(k) == ',')) k = 0;
  parts.city = copyFrom(line, 1, k);
  return parts;
}

}  // namespace kestrel
