#include "platform/AnsiText.h"

#include <QList>
#include <algorithm>
#include <array>
#include <optional>
#include <utility>

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

std::optional<char> encodeExactly(char32_t code) {
  if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<char>(code);
  for (std::size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == code) return static_cast<char>(0x80 + i);
  }
  return std::nullopt;
}

// Letters and signs that Unicode does not decompose, with the code page's
// letter or sign that a reader takes them for.
constexpr std::pair<char32_t, char> kLookAlikes[] = {
    {0x0110, 'D'}, {0x0111, 'd'}, {0x0126, 'H'}, {0x0127, 'h'}, {0x0131, 'i'},
    {0x0141, 'L'}, {0x0142, 'l'}, {0x0166, 'T'}, {0x0167, 't'}, {0x2010, '-'},
    {0x2012, '-'}, {0x2015, '-'}, {0x2212, '-'}};

// The closest character of the code page: the character itself, else its
// letter once accents the code page lacks are dropped ("ź" is "z", "ǘ" is
// "ü"), else a look-alike ("Ł" is "L"), else "?". Only single characters, so
// that a converted text is never longer than the field it came from.
char encode(char32_t code) {
  if (const auto exact = encodeExactly(code)) return *exact;
  for (const auto& [letter, lookAlike] : kLookAlikes) {
    if (letter == code) return lookAlike;
  }
  // Compatibility decomposition: a base character followed by its marks
  // ("Ａ" is a wide "A", "ǘ" is u, diaeresis and acute). Keep as many marks
  // as the code page has a composed character for.
  const QString decomposed = QString::fromUcs4(&code, 1).normalized(QString::NormalizationForm_KD);
  const QList<uint> parts = decomposed.toUcs4();
  if (parts.isEmpty() || QChar::isMark(parts[0])) return '?';
  for (qsizetype kept = parts.size(); kept >= 1; --kept) {
    const QList<uint> composed =
        QString::fromUcs4(reinterpret_cast<const char32_t*>(parts.constData()), kept)
            .normalized(QString::NormalizationForm_C)
            .toUcs4();
    if (composed.size() != 1) continue;
    const bool onlyMarksDropped = std::all_of(parts.begin() + kept, parts.end(),
                                              [](uint part) { return QChar::isMark(part); });
    if (!onlyMarksDropped) break;  // a ligature or a sequence: no one character is close
    if (const auto fit = encodeExactly(composed[0])) return *fit;
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
  // Code points, not UTF-16 units: a character outside the BMP is one
  // character of the code page.
  // Composed first, so that a letter typed or pasted as a base and a
  // combining accent ("e" and U+0301) is the one character of the code page.
  for (const uint code : text.normalized(QString::NormalizationForm_C).toUcs4())
    ansi.push_back(encode(code));
  return ansi;
}

}  // namespace kestrel
