#include "print/PdfFileCheck.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <cstdint>
#include <string_view>

namespace kestrel {

namespace {

// The trailer's "startxref", its offset and "%%EOF" fit easily in the last
// kilobyte; PDF readers look no further either.
constexpr std::size_t kTailBytes = 1024;
// One cross-reference entry: ten offset digits, blank, five generation
// digits, blank, 'n' or 'f', and a two-byte line end.
constexpr std::size_t kEntryBytes = 20;

bool isRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool isPdfSpace(char c) {
  return c == ' ' || c == '\r' || c == '\n' || c == '\t' || c == '\f';
}

// A reader over the file's bytes that never reads past their end.
class Cursor {
 public:
  Cursor(std::string_view bytes, std::size_t at) : m_bytes(bytes), m_at(at) {}
  void skipSpace() {
    while (m_at < m_bytes.size() && isPdfSpace(m_bytes[m_at])) ++m_at;
  }
  bool word(std::string_view expected) {
    if (m_bytes.substr(m_at, expected.size()) != expected) return false;
    m_at += expected.size();
    return true;
  }
  bool number(std::uint64_t& value) {
    const char* first = m_bytes.data() + m_at;
    const char* last = m_bytes.data() + m_bytes.size();
    const auto [stop, error] = std::from_chars(first, last, value);
    if (error != std::errc() || stop == first) return false;
    m_at += static_cast<std::size_t>(stop - first);
    return true;
  }
  std::size_t at() const { return m_at; }
  void moveTo(std::size_t at) { m_at = at; }

 private:
  std::string_view m_bytes;
  std::size_t m_at;
};

// "N G obj" at the offset: the object the table says starts there.
bool objectStartsAt(std::string_view bytes, std::uint64_t offset, std::uint64_t number) {
  if (offset >= bytes.size()) return false;
  Cursor cursor(bytes, static_cast<std::size_t>(offset));
  std::uint64_t readNumber = 0, generation = 0;
  if (!cursor.number(readNumber) || readNumber != number) return false;
  cursor.skipSpace();
  if (!cursor.number(generation)) return false;
  cursor.skipSpace();
  return cursor.word("obj");
}

// Walks the cross-reference table at `offset` up to its "trailer" and
// checks every in-use entry.
bool tableIsWhole(std::string_view bytes, std::uint64_t offset) {
  if (offset >= bytes.size()) return false;
  Cursor cursor(bytes, static_cast<std::size_t>(offset));
  if (!cursor.word("xref")) return false;
  bool anyEntry = false;
  for (;;) {
    cursor.skipSpace();
    if (cursor.word("trailer")) return anyEntry;
    std::uint64_t first = 0, count = 0;
    if (!cursor.number(first)) return false;
    cursor.skipSpace();
    if (!cursor.number(count)) return false;
    cursor.skipSpace();
    if (count > (bytes.size() - cursor.at()) / kEntryBytes) return false;
    for (std::uint64_t i = 0; i < count; ++i) {
      const std::string_view entry = bytes.substr(cursor.at(), kEntryBytes);
      Cursor field(entry, 0);
      std::uint64_t objectOffset = 0;
      if (!field.number(objectOffset) || (entry[17] != 'n' && entry[17] != 'f')) return false;
      if (entry[17] == 'n' && !objectStartsAt(bytes, objectOffset, first + i)) return false;
      cursor.moveTo(cursor.at() + kEntryBytes);
      anyEntry = true;
    }
  }
}

// The file's bytes, mapped rather than read: the check looks at the trailer,
// the table and the first bytes of each object, so a long report's file is
// never held in memory whole.
class MappedFile {
 public:
  explicit MappedFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
      void* mapped =
          ::mmap(nullptr, static_cast<std::size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
      if (mapped != MAP_FAILED) {
        m_data = static_cast<const char*>(mapped);
        m_size = static_cast<std::size_t>(info.st_size);
      }
    }
    ::close(fd);
  }
  ~MappedFile() {
    if (m_data) ::munmap(const_cast<char*>(m_data), m_size);
  }
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  std::string_view bytes() const { return {m_data, m_size}; }

 private:
  const char* m_data = nullptr;
  std::size_t m_size = 0;
};

}  // namespace

bool isCompletePdf(const std::string& path) {
  if (!isRegularFile(path)) return false;
  const MappedFile file(path);
  const std::string_view bytes = file.bytes();
  if (bytes.substr(0, 5) != "%PDF-") return false;

  const std::size_t tailStart = bytes.size() > kTailBytes ? bytes.size() - kTailBytes : 0;
  const std::size_t startxref = bytes.rfind("startxref");
  if (startxref == std::string_view::npos || startxref < tailStart) return false;
  Cursor cursor(bytes, startxref + std::string_view("startxref").size());
  cursor.skipSpace();
  std::uint64_t tableOffset = 0;
  if (!cursor.number(tableOffset)) return false;
  cursor.skipSpace();
  if (!cursor.word("%%EOF")) return false;
  cursor.skipSpace();
  return cursor.at() == bytes.size() && tableIsWhole(bytes, tableOffset);
}

void removePartialOutput(const std::string& path) noexcept {
  if (isRegularFile(path)) ::unlink(path.c_str());
}

}  // namespace kestrel
