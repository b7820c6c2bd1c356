// Reads arbitrary bytes as an index file and walks its first tag in key
// order. A corrupt file must end in IndexError, never in a crash or an
// endless walk: the walk may not visit more entries than the bytes could
// hold.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "dbase/IndexError.h"
#include "dbase/MdxReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    kestrel::MdxReader reader(std::span<const unsigned char>(data, size), "fuzz.MDX");
    // Every entry takes at least 4 bytes of a node that can be reached once.
    const std::size_t limit = size / 4 + 1;
    std::size_t visited = 0;
    for (reader.First(); !reader.Eof(); reader.Next()) {
      if (++visited > limit) std::abort();
    }
  } catch (const kestrel::IndexError&) {
  }
  return 0;
}
