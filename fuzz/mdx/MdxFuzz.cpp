// Reads arbitrary bytes as an index file: opening, walking the whole tag and,
// for inputs whose first byte is odd, inserting and removing a key in a copy
// of the file. Any outcome but success or IndexError is a finding.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "dbase/IndexError.h"
#include "dbase/MdxReader.h"
#include "dbase/MdxUpdater.h"

namespace {

void walk(kestrel::MdxReader& reader) {
  std::size_t n = 0;
  for (reader.First(); !reader.Eof(); reader.Next()) ++n;
  (void)n;
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
      walk(reader);
    } catch (const kestrel::IndexError&) {
    }
  }
  ::close(fd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    kestrel::MdxReader reader(std::span<const unsigned char>(data, size), "fuzz.MDX");
    walk(reader);
    walk(reader);  // a second First() must start over cleanly
  } catch (const kestrel::IndexError&) {
  }
  if (size > 0 && (data[0] & 1) && size < (1 << 20)) update(data, size);
  return 0;
}
