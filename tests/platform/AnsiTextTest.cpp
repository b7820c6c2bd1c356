#include <gtest/gtest.h>

#include "platform/AnsiText.h"

namespace kestrel {
namespace {

TEST(AnsiText, EveryByteSurvivesARoundTrip) {
  std::string all;
  for (int byte = 1; byte < 256; ++byte) all.push_back(static_cast<char>(byte));
  EXPECT_EQ(toAnsi(fromAnsi(all)), all);
}

TEST(AnsiText, WindowsSpecialsAndLatin1MapToTheirCharacters) {
  EXPECT_EQ(fromAnsi("\x80"), QString(QChar(0x20AC)));
  EXPECT_EQ(fromAnsi("\x93Hi\x94"), QString::fromUtf8("\u201CHi\u201D"));
  EXPECT_EQ(fromAnsi("Stra\xDF"
                     "e"),
            QString::fromUtf8("Straße"));
  EXPECT_EQ(toAnsi(QString::fromUtf8("\u2122 \u00E9")), "\x99 \xE9");
}

TEST(AnsiText, CharactersOutsideTheCodePageBecomeTheirClosestOrOneQuestionMark) {
  struct Case {
    const char* typed;  // UTF-8
    const char* stored;
  };
  const Case cases[] = {
      {"Łódź",
       "L\xF3"
       "dz"},  // a look-alike, a kept and a dropped accent
      {"Dvořák", "Dvor\xE1k"},
      {"Kraków Gdańsk Şişli", "Krak\xF3w Gdansk Sisli"},
      {"\u01D8", "\xFC"},  // u, diaeresis, acute: the diaeresis is kept
      {"\uFF21\u00A0\u2212"
       "5",
       "A\xA0-5"},  // wide A, no-break space, minus sign
      {"Đuro Ħal ı", "Duro Hal i"},
      {"a\u0416b", "a?b"},           // no letter close to a Cyrillic one
      {"x\U0001F600y", "x?y"},       // one code point, two units
      {"\uFB01", "?"},               // a ligature is two letters: none fits alone
      {"e\u0301 \u0301", "\xE9 ?"},  // composed first; a lone accent is no letter
  };
  for (const Case& c : cases) EXPECT_EQ(toAnsi(QString::fromUtf8(c.typed)), c.stored) << c.typed;
}

}  // namespace
}  // namespace kestrel
