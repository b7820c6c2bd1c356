// Reads arbitrary bytes as an index file: opening, walking the whole tag and,
// for inputs whose first byte is odd, inserting and removing a key in a copy
// of the file. Any outcome but success or IndexError is a finding, and so is
// an endless walk: no walk may visit more entries than the bytes could hold.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "dbase/IndexError.h"
#include "dbase/MdxReader.h"
#include "dbase/MdxUpdater.h"

namespace {

// Every entry takes at least 4 bytes of a node that can be reached once.
void walk(kestrel::MdxReader& reader, std::size_t bytes) {
  const std::size_t limit = bytes / 4 + 1;
  std::size_t visited = 0;
  for (reader.First(); !reader.Eof(); reader.Next()) {
    if (++visited > limit) std::abort();
  }
}

void update(const std::uint8_t* data, std::size_t size) {
  const int fd = ::memfd_create("mdx", 0);
  if (fd < 0) return;
  if (::write(fd, data, size) == static_cast<ssize_t>(size)) {
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    try {
      kestrel::MdxUpdater updater(path);
      std::vector<unsigned char> key(updater.key().length(), 'M');
      updater.insert(key.data(), 7);
      updater.remove(key.data(), 7);
      kestrel::MdxReader reader(path);
      walk(reader, static_cast<std::size_t>(::lseek(fd, 0, SEEK_END)));  // as updated
    } catch (const kestrel::IndexError&) {
    }
  }
  ::close(fd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    kestrel::MdxReader reader(std::span<const unsigned char>(data, size), "fuzz.MDX");
    walk(reader, size);
    walk(reader, size);  // a second First() must start over cleanly
  } catch (const kestrel::IndexError&) {
  }
  if (size > 0 && (data[0] & 1) && size < (1 << 20)) update(data, size);
  return 0;
}
