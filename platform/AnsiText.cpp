#include "platform/AnsiText.h"

#include <QList>
#include <array>

namespace kestrel {
namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F. The five bytes that
// the code page leaves undefined map to the C1 control of the same value, as
// Windows does, so that any byte survives a round trip.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t decode(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0) return kHighControls[byte - 0x80];
  return byte;
}

char encode(char32_t code) {
  if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<char>(code);
  for (std::size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == code) return static_cast<char>(0x80 + i);
  }
  return '?';
}

}  // namespace

QString fromAnsi(const std::string& ansi) {
  QString text;
  text.reserve(static_cast<qsizetype>(ansi.size()));
  for (const char c : ansi) {
    const char32_t code = decode(static_cast<unsigned char>(c));
    text.append(QChar(static_cast<char16_t>(code)));  // every value lies in the BMP
  }
  return text;
}

std::string toAnsi(const QString& text) {
  std::string ansi;
  ansi.reserve(static_cast<std::size_t>(text.size()));
  // Code points, not UTF-16 units: a character outside the BMP is one "?".
  for (const uint code : text.toUcs4()) ansi.push_back(encode(code));
  return ansi;
}

}  // namespace kestrel
