#pragma once

#include <string>
#include <string_view>

#include "dbase/AsciiText.h"

namespace kestrel {

// Blanks as the window's fields and the text files see them: the space and
// every control character (tabs, stray line ends, NUL).
inline bool isBlankChar(char c) {
  return isSpaceOrControl(c);
}

// The text without its leading and trailing blanks.
inline std::string trimBlanks(std::string_view text) {
  return trimSpacesAndControls(text);
}

// Whether the text holds nothing but blanks (or nothing at all).
inline bool isBlankText(std::string_view text) {
  for (char c : text)
    if (!isBlankChar(c)) return false;
  return true;
}

}  // namespace kestrel
