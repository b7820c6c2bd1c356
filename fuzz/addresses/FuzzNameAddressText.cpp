// Arbitrary bytes as a name and address text file: every line is read and
// split, and what Export writes of the result must split back to the same
// trimmed values (lines of the memo, city, state, ZIP Code).
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "addresses/NameAddressLine.h"
#include "addresses/TextLineReader.h"
#include "core/Blanks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestrel;
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  TextLineReader reader(in);
  std::string line;
  while (reader.next(line)) {
    bool malformed = false;
    const NameAddressFields fields = splitNameAddressLine(line, &malformed);
    const std::vector<std::string> memo = importedMemoLines(fields);
    const std::string written = nameAddressLine(memo, fields[4], fields[5], fields[6]);
    const NameAddressFields back = splitNameAddressLine(written);
    for (std::size_t i = 0; i < memo.size(); ++i)
      if (back[i] != trimBlanks(memo[i])) std::abort();
    for (int i = 4; i < kNameAddressFields; ++i)
      if (back[i] != trimBlanks(fields[i])) std::abort();
  }
  return 0;
}
