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

TEST(AnsiText, CharactersOutsideTheCodePageBecomeOneQuestionMarkEach) {
  EXPECT_EQ(toAnsi(QString::fromUtf8("a\u0416b")), "a?b");
  EXPECT_EQ(toAnsi(QString::fromUtf8("x\U0001F600y")), "x?y");  // one code point, two units
}

}  // namespace
}  // namespace kestrel
