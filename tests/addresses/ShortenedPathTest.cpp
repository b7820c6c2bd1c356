// The path label's shortening, measured in a fixed-pitch stand-in font (ten
// pixels a character) so that the expected texts can be counted by hand.
#include <gtest/gtest.h>

#include "addresses/ShortenedPath.h"

namespace kestrel {
namespace {

int tenPixelsEach(const QString& text) {
  return static_cast<int>(text.size()) * 10;
}

TEST(ShortenedPathTest, DropsLeadingFoldersUntilTheRestFitsThenMarksTheCut) {
  struct Case {
    const char* path;
    const char* shown;
  };
  // Labels of 265 pixels (26 characters shown whole); shortened texts are cut
  // to 251 pixels (25 characters) before ".../" goes in front.
  const Case cases[] = {
      {"/srv/share/friends.dbf", "/srv/share/friends.dbf"},             // 22: whole
      {"/srv/abcdefghijklmnopq/a.dbf", ".../abcdefghijklmnopq/a.dbf"},  // 28: one cut
      {"/mnt/office/clients/2026/west/friends.dbf", ".../2026/west/friends.dbf"},
      // No separator left to cut at: the file name alone, however long.
      {"/a_very_long_file_name_of_an_address_table.dbf",
       ".../a_very_long_file_name_of_an_address_table.dbf"},
      // Exactly the label's width stays whole.
      {"/12345678901234567890/a.db", "/12345678901234567890/a.db"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(shortenedPath(QString::fromLatin1(c.path), tenPixelsEach, 265, 251),
              QString::fromLatin1(c.shown));
  }
}

}  // namespace
}  // namespace kestrel
