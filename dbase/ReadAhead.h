#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace kestrel {

class OsFile;

// A window of a table file read in one piece ahead of a forward visit, so
// that a scan costs one system call per window rather than one per record.
//
// The window is a snapshot of bytes that other processes may rewrite in
// place, so it serves only while it is young: someone stepping through
// records by hand, or a program that pauses between records, reads the file
// as it is now. The table also drops it on every write and every lock of its
// own, after which the bytes must come from the file.
class ReadAhead {
 public:
  // The windows a forward visit reads: the first small (someone stepping
  // through records needs one), each one that continues the last twice as
  // large, up to a megabyte.
  static constexpr std::size_t kFirstWindowBytes = std::size_t{16} << 10;
  static constexpr std::size_t kWindowBytes = std::size_t{1} << 20;

  // How many bytes a window starting at `offset` should hold.
  std::size_t windowBytesAt(std::int64_t offset) const;

  // Reads up to `size` bytes at `offset` into the window (fewer at the end
  // of the file). 0 or the system's error; after an error the window is empty.
  [[nodiscard]] int fill(const OsFile& file, std::int64_t offset, std::size_t size);
  // The window's bytes at [offset, offset + size), or nullptr when it does
  // not hold them all or is too old to serve.
  const char* find(std::int64_t offset, std::size_t size) const;
  // Everything the last fill read, from its offset (for the header, read
  // together with the first records when a table opens).
  std::string_view bytes() const { return {m_bytes.get(), m_size}; }
  void drop() { m_size = 0; }

 private:
  std::unique_ptr<char[]> m_bytes;
  std::size_t m_capacity = 0;
  std::size_t m_size = 0;
  std::int64_t m_offset = 0;
  std::int64_t m_filledAt = 0;  // monotonic milliseconds
};

}  // namespace kestrel
