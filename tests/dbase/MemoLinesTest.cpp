// A memo read as lines.
#include <gtest/gtest.h>

#include "dbase/MemoLines.h"

namespace kestrel::test {
namespace {

using Lines = std::vector<std::string>;

TEST(MemoLinesTest, LineEndsAndTerminators) {
  EXPECT_EQ(memoTextToLines(""), Lines{});
  EXPECT_EQ(memoTextToLines("A\r\nB"), (Lines{"A", "B"}));
  EXPECT_EQ(memoTextToLines("A\r\nB\r\n"), (Lines{"A", "B"}));
  EXPECT_EQ(memoTextToLines(std::string("A\r\nB\0\0", 5)), (Lines{"A", "B"}));
  EXPECT_EQ(memoTextToLines("A\r\n\r\nB\r\n"), (Lines{"A", "", "B"}));
  EXPECT_EQ(memoTextToLines("A\x8D\nB\rC\nD"), (Lines{"A", "B", "C\nD"}));
  EXPECT_EQ(memoTextToLines(std::string("Ab\0cd\r\nE", 8)), (Lines{"Ab", "E"}));
}

TEST(MemoLinesTest, LongLinesWrapAndTheCountIsLimited) {
  const std::string words = std::string(200, 'a') + " " + std::string(100, 'b');
  EXPECT_EQ(memoTextToLines(words), (Lines{std::string(200, 'a') + " ", std::string(100, 'b')}));
  const Lines solid = memoTextToLines(std::string(600, 'x'));
  EXPECT_EQ(solid, (Lines{std::string(253, 'x'), std::string(253, 'x'), std::string(94, 'x')}));
  std::string many;
  for (int i = 0; i < 1100; ++i) many += "line\r\n";
  EXPECT_EQ(memoTextToLines(many).size(), 1024u);
}

}  // namespace
}  // namespace kestrel::test
