#pragma once

#include <string>
#include <string_view>

namespace kestrel {

// Blanks as the window's fields and the text files see them: the space and
// every control character (tabs, stray line ends, NUL).
inline bool isBlankChar(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

// The text without its leading and trailing blanks.
inline std::string trimBlanks(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && isBlankChar(text[begin])) ++begin;
  while (end > begin && isBlankChar(text[end - 1])) --end;
  return std::string(text.substr(begin, end - begin));
}

// Whether the text holds nothing but blanks (or nothing at all).
inline bool isBlankText(std::string_view text) {
  for (char c : text)
    if (!isBlankChar(c)) return false;
  return true;
}

}  // namespace kestrel
