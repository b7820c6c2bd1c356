#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The small text rules of the storage layer, written once: field values are
// padded with spaces, and names (fields, aliases, index tags, settings keys)
// are ASCII and matched without regard to case.
//
// The case rules change only a-z and A-Z. std::toupper and std::tolower
// follow the C library's locale, which a Qt program sets from the user's
// environment: in a Turkish locale 'i' becomes the dotted capital I (0xDD in
// ISO 8859-9), and in a Latin-1 locale bytes from 0x80 up change as well, so
// a table made there would carry names no other program finds.
//
// Header only: core/ uses these rules too and links nothing of dbase/.

namespace kestrel {

constexpr char asciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

constexpr char asciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string asciiUpper(std::string text) {
  for (char& c : text) c = asciiUpper(c);
  return text;
}

inline std::string asciiLower(std::string text) {
  for (char& c : text) c = asciiLower(c);
  return text;
}

// asciiUpper on eight bytes at once: a byte loses its 0x20 bit when it lies
// in 0x61..0x7A (the adds stay within each byte because the high bits are
// masked off first, and bytes from 0x80 up are left as they are). For name
// matches that run on every field access.
constexpr std::uint64_t asciiUpperWord(std::uint64_t word) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  const std::uint64_t low7 = word & (kOnes * 0x7F);
  const std::uint64_t fromA = low7 + kOnes * (0x80 - 'a');
  const std::uint64_t pastZ = low7 + kOnes * (0x80 - 'z' - 1);
  const std::uint64_t lowerCase = (fromA & ~pastZ & ~word) & (kOnes * 0x80);
  return word - (lowerCase >> 2);
}

// Whether two names are the same but for the case of their ASCII letters.
constexpr bool sameAsciiName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (asciiUpper(a[i]) != asciiUpper(b[i])) return false;
  }
  return true;
}

// The text without the spaces that pad it on either side; other bytes,
// control characters included, belong to the value.
inline std::string trimSpaces(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::string();
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

// A space or a control character (tab, line end, NUL): every byte up to 0x20.
constexpr bool isSpaceOrControl(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

// The text without leading and trailing spaces and control characters.
inline std::string trimSpacesAndControls(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && isSpaceOrControl(text[begin])) ++begin;
  while (end > begin && isSpaceOrControl(text[end - 1])) --end;
  return std::string(text.substr(begin, end - begin));
}

}  // namespace kestrel
