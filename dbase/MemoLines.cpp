#include "dbase/MemoLines.h"

namespace kestrel {
namespace {

void addWrapped(std::vector<std::string>& lines, std::string line) {
  while (line.size() > kMaxMemoLineLength && lines.size() < kMaxMemoLines) {
    std::size_t blank = line.find_last_of(' ', kMaxMemoLineLength - 1);
    // The blank stays with the first part, so that no character is lost.
    std::size_t cut = blank == std::string::npos ? kMaxMemoLineLength : blank + 1;
    lines.push_back(line.substr(0, cut));
    line.erase(0, cut);
  }
  if (lines.size() < kMaxMemoLines) lines.push_back(std::move(line));
}

}  // namespace

std::vector<std::string> memoTextToLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  bool ended = false;  // the line was cut short at a 0x00
  bool pending = false;
  for (std::size_t i = 0; i < text.size() && lines.size() < kMaxMemoLines; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == 0x0D || c == 0x8D) {
      addWrapped(lines, std::move(line));
      line.clear();
      ended = false;
      pending = false;
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      continue;
    }
    pending = true;
    if (c == 0x00) ended = true;
    if (!ended) line += static_cast<char>(c);
  }
  if (pending && lines.size() < kMaxMemoLines) addWrapped(lines, std::move(line));
  return lines;
}

}  // namespace kestrel
