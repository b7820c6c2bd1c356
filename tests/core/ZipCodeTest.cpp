#include <gtest/gtest.h>

#include "core/ZipCode.h"

namespace kestrel {
namespace {

TEST(CleanZip, TidiesTheTextOfAMaskedZipField) {
  struct Case {
    const char* field;
    const char* expected;
  };
  const Case cases[] = {
      {"62701-    ", "62701"},       // five digits only: no hyphen
      {"     -    ", ""},            // an empty field
      {"62701-1234", "62701-1234"},  // complete
      {"     -1234", "1234"},        // only the extension
      {"", ""},
      {"-", ""},
      {"627  -    ", "627  "},  // the blanks before the hyphen stay
      {"6-2701", "6-2701"},     // hyphen inside: unchanged
      {"62701", "62701"},       // no hyphen at all
      {"--", "-"},              // the first hyphen is the first character
      {"\t62701-\r\n", "62701"},
  };
  for (const Case& c : cases) EXPECT_EQ(CleanZip(c.field), c.expected) << '"' << c.field << '"';
}

}  // namespace
}  // namespace kestrel
