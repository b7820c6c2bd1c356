#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kestrel {

// The one small interface between the storage layer and the operating
// system's files: positioned reads and writes, size, and byte-range locks.
// Locks are open-file-description locks: they belong to this open file, not
// to the process, so two tables on one file in one process exclude each other
// and closing one never drops the other's locks. Every lock request is a
// single attempt. Functions return 0 or an errno value.
class OsFile {
 public:
  enum class Access { ReadOnly, ReadWrite };
  enum class LockKind { Shared, Exclusive };

  OsFile() = default;
  ~OsFile();
  OsFile(const OsFile&) = delete;
  OsFile& operator=(const OsFile&) = delete;
  OsFile(OsFile&& other) noexcept;
  OsFile& operator=(OsFile&& other) noexcept;

  int open(const std::string& path, Access access);
  // Creates the file, replacing one of that name, for reading and writing.
  int create(const std::string& path);
  // Opens the file for reading and writing, creating it empty when missing.
  int openOrCreate(const std::string& path);
  // Whether `path` names this open file (and not another file put there
  // since it was opened).
  bool isFileAt(const std::string& path) const;
  void close();
  bool isOpen() const { return m_fd >= 0; }
  // The descriptor, for code that locks bytes of this open file itself.
  int descriptor() const { return m_fd; }

  // Reads up to `size` bytes; `got` tells how many (fewer at the end of the file).
  int readAt(std::int64_t offset, void* buffer, std::size_t size, std::size_t& got) const;
  // Writes all bytes or fails (a short write reports ENOSPC).
  int writeAt(std::int64_t offset, const void* buffer, std::size_t size);
  // The current size, or -1 with errno set.
  std::int64_t size() const;
  int truncate(std::int64_t size);

  // 0 when locked; EAGAIN when another open file holds a conflicting lock.
  int tryLock(std::int64_t offset, std::int64_t length, LockKind kind);
  int unlock(std::int64_t offset, std::int64_t length);

 private:
  int m_fd = -1;
};

bool fileExists(const std::string& path);

}  // namespace kestrel
