#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <cstring>
#include <string>

#include "DbaseTestSupport.h"
#include "dbase/AsciiText.h"
#include "dbase/TTzDbf.h"

namespace kestrel {
namespace {

// The C library's locale for the lifetime of the object; false when the
// machine lacks it.
class CLocale {
 public:
  explicit CLocale(const char* name) : m_before(std::setlocale(LC_ALL, nullptr)) {
    m_set = std::setlocale(LC_ALL, name) != nullptr;
  }
  ~CLocale() { std::setlocale(LC_ALL, m_before.c_str()); }
  bool set() const { return m_set; }

 private:
  std::string m_before;
  bool m_set = false;
};

// A Qt program takes the C library's locale from the environment. Names fold
// a-z and nothing else in every one of them: in the Turkish locale (ISO
// 8859-9) std::toupper makes 'i' the dotted capital 0xDD, in the German one
// (ISO 8859-1) it makes 0xE4 ('a' with diaeresis) 0xC4. A table made there
// must still carry the names every other program looks for.
TEST(AsciiText, NamesFoldOnlyAsciiLettersWhateverTheLocale) {
  for (const char* name : {"C", "tr_TR", "de_DE"}) {
    SCOPED_TRACE(name);
    const CLocale locale(name);
    if (!locale.set()) {
      ADD_FAILURE() << "locale " << name << " is not installed";
      continue;
    }
    for (int b = 0; b < 256; ++b) {
      const char c = static_cast<char>(b);
      const char upper = b >= 'a' && b <= 'z' ? static_cast<char>(b - 0x20) : c;
      const char lower = b >= 'A' && b <= 'Z' ? static_cast<char>(b + 0x20) : c;
      ASSERT_EQ(asciiUpper(c), upper) << b;
      ASSERT_EQ(asciiLower(c), lower) << b;
      // Eight bytes at once: the same rule for this byte and its seven
      // successors, each in another place of the word.
      char bytes[8];
      char expected[8];
      for (int k = 0; k < 8; ++k) {
        bytes[k] = static_cast<char>((b + k * 37) & 0xFF);
        expected[k] = asciiUpper(bytes[k]);
      }
      std::uint64_t word = 0;
      std::memcpy(&word, bytes, sizeof word);
      const std::uint64_t folded = asciiUpperWord(word);
      ASSERT_EQ(std::memcmp(&folded, expected, sizeof folded), 0) << b;
    }
    EXPECT_TRUE(sameAsciiName("city", "CITY"));
    EXPECT_TRUE(sameAsciiName("Zip", "zIP"));
    EXPECT_FALSE(sameAsciiName("\xE4", "\xC4"));
    EXPECT_FALSE(sameAsciiName("city", "city "));

    test::TempDir dir;
    {
      TTzDbf table;
      table.SetDbfFileName(dir.file("list.dbf"));
      table.SetDbfFields({"city,C,20,0", "zip,c,10,0", "\xE4hnlich,C,5,0"});
      table.SetCreateIfNotFound(true);
      table.Open();
      EXPECT_EQ(table.alias(), "LIST");
      ASSERT_EQ(table.FieldCount(), 3);
      EXPECT_EQ(table.FieldName(0), "CITY");
      EXPECT_EQ(table.FieldName(1), "ZIP");
      EXPECT_EQ(table.FieldName(2), "\xE4HNLICH");
      table.Insert();
      table.SetFieldText("City", "Istanbul");
      table.SetFieldText("\xE4HNLICH", "ja");
      table.Post();
      EXPECT_EQ(trimSpaces(table.GetFieldText("cItY")), "Istanbul");
      EXPECT_EQ(trimSpaces(table.GetFieldText("\xE4hnlich")), "ja");
      // The order's field and its index are found by name too.
      ASSERT_TRUE(table.IndexOnOne("zIp", "zip"));
      table.Close();
    }
    // The name as the file holds it: the table's first field descriptor.
    const std::string dbf = test::readBytes(dir.file("list.dbf"));
    ASSERT_GT(dbf.size(), 64u);
    EXPECT_EQ(std::string(dbf.c_str() + 32), "CITY");
  }
}

TEST(AsciiText, TrimsSayWhatTheyTake) {
  struct Case {
    std::string_view text;
    std::string spaces;
    std::string spacesAndControls;
  };
  const Case cases[] = {
      {"", "", ""},
      {"   ", "", ""},
      {"  a b  ", "a b", "a b"},
      {"\t a \r\n", "\t a \r\n", "a"},
      {std::string_view("\0x\0", 3), std::string("\0x\0", 3), "x"},
      {" \xA0z\xA0 ", "\xA0z\xA0", "\xA0z\xA0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text));
    EXPECT_EQ(trimSpaces(c.text), c.spaces);
    EXPECT_EQ(trimSpacesAndControls(c.text), c.spacesAndControls);
  }
}

}  // namespace
}  // namespace kestrel
