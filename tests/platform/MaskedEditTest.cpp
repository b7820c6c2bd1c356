#include <gtest/gtest.h>

#include <QTest>

#include "platform/MaskedEdit.h"

namespace kestrel {
namespace {

constexpr const char* kZipMask = "99999\\-9999;1;_";

TEST(MaskedEdit, OurMaskLettersBecomeQtsOppositeLetters) {
  EXPECT_EQ(MaskedEdit::toQtInputMask(kZipMask), "00000-0000;_");
  EXPECT_EQ(MaskedEdit::toQtInputMask("000\\-00;0;*"), "999-99;*");
  EXPECT_EQ(MaskedEdit::toQtInputMask("LlAaCc#;1; "), "AaNnXx#; ");
  EXPECT_EQ(MaskedEdit::toQtInputMask("99\\H9"),
            "00\\H0;_");  // a literal that Qt treats as a letter
}

// Where position 0 is drawn: `scrolled` first draws the field with its
// cursor at the end (drawing is when a line edit scrolls its text).
int firstPositionLeft(MaskedEdit& edit, bool scrolled) {
  if (scrolled) {
    edit.end(false);
    (void)edit.grab();
  }
  edit.home(false);
  if (!scrolled) (void)edit.grab();
  return edit.inputMethodQuery(Qt::ImCursorRectangle).toRect().left();
}

TEST(MaskedEdit, AFullFieldOfTheFormsShowsItsFirstPositionWithTheCursorAtTheEnd) {
  // The fields as the forms place them: a ZIP+4, a customer identifier, a
  // serial number and a 20-digit mailer number, in the form font.
  const struct {
    const char* mask;
    const char* text;
    int width;
  } fields[] = {{kZipMask, "888888888", 65},
                {"000000000;0", "888888888", 83},
                {"0000000;1;_", "8888888", 71},
                {"00000000000000000000;1;_", "88888888888888888888", 153}};
  for (const auto& field : fields) {
    SCOPED_TRACE(field.mask);
    MaskedEdit edit;
    edit.setFont(QFont(QStringLiteral("Liberation Sans"), 8));
    edit.setEditMask(QString::fromLatin1(field.mask));
    edit.resize(field.width, 21);
    edit.setMaskedText(QString::fromLatin1(field.text));
    const int unscrolled = firstPositionLeft(edit, false);
    EXPECT_EQ(firstPositionLeft(edit, true), unscrolled);
  }
}

TEST(MaskedEdit, EmptyPositionsReadBackAsBlanks) {
  MaskedEdit edit;
  edit.setEditMask(kZipMask);
  EXPECT_EQ(edit.maskedText(), "     -    ");
  EXPECT_EQ(edit.displayText(), "_____-____");
  edit.setFocus();
  edit.setCursorPosition(0);
  QTest::keyClicks(&edit, "62701");
  EXPECT_EQ(edit.maskedText(), "62701-    ");
  QTest::keyClicks(&edit, "x12");  // a letter does not fit a digit position
  EXPECT_EQ(edit.maskedText(), "62701-12  ");
}

TEST(MaskedEdit, TextPutInFillsPositionsFromTheStart) {
  MaskedEdit edit;
  edit.setEditMask(kZipMask);
  edit.setMaskedText("62701");
  EXPECT_EQ(edit.maskedText(), "62701-    ");
  edit.setMaskedText("62701-1234");
  EXPECT_EQ(edit.maskedText(), "62701-1234");
  edit.setMaskedText("     -1234");
  EXPECT_EQ(edit.maskedText(), "     -1234");
  edit.setMaskedText("");
  EXPECT_EQ(edit.maskedText(), "     -    ");
  edit.clear();
  EXPECT_EQ(edit.maskedText(), "     -    ");
}

TEST(MaskedEdit, LiteralsAreLeftOutWhenTheMaskSaysSo) {
  MaskedEdit edit;
  edit.setEditMask("99999\\-9999;0;_");
  edit.setMaskedText("62701-12");
  EXPECT_EQ(edit.maskedText(), "6270112  ");
}

}  // namespace
}  // namespace kestrel
