#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "dbase/FileSystem.h"

namespace kestrel {

// One open file of the storage layer: positioned reads and writes, size, cut
// and byte-range locks, through the FileSystem that was current when it was
// opened (FileSystem.h tells the lock rules). Functions return 0 or an errno
// value; a result that goes unchecked is a compile warning, because a write
// or lock that failed unnoticed is a corrupted file.
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

  [[nodiscard]] int open(const std::string& path, Access access);
  // Creates the file, replacing one of that name, for reading and writing.
  [[nodiscard]] int create(const std::string& path);
  // Opens the file for reading and writing, creating it empty when missing.
  [[nodiscard]] int openOrCreate(const std::string& path);
  // Creates a file that must not exist yet (EEXIST when it does).
  [[nodiscard]] int createNew(const std::string& path);
  void close();
  bool isOpen() const { return m_handle >= 0; }
  // Whether `path` names this open file (and not another file put there
  // since it was opened).
  [[nodiscard]] bool isFileAt(const std::string& path) const;

  // Reads up to `size` bytes; `got` tells how many (fewer at the end of the file).
  [[nodiscard]] int readAt(std::int64_t offset, void* buffer, std::size_t size,
                           std::size_t& got) const;
  // Writes all bytes or fails (a short write reports ENOSPC).
  [[nodiscard]] int writeAt(std::int64_t offset, const void* buffer, std::size_t size);
  // The current size, or -1.
  [[nodiscard]] std::int64_t size() const;
  [[nodiscard]] int truncate(std::int64_t size);

  // 0 when locked; EAGAIN when another open file holds a conflicting lock.
  [[nodiscard]] int tryLock(std::int64_t offset, std::int64_t length, LockKind kind);
  [[nodiscard]] int unlock(std::int64_t offset, std::int64_t length);

 private:
  [[nodiscard]] int openWith(const std::string& path, FileSystem::OpenMode mode);

  FileSystem* m_fs = nullptr;
  int m_handle = -1;
};

bool fileExists(const std::string& path);
// The path itself when it exists, else an existing file of the same folder
// whose name differs only in case (the tables come from a platform where
// names match without regard to case), else the path unchanged.
std::string findIgnoringCase(const std::string& path);
// Removes or renames a file through the current file system; 0 or errno.
[[nodiscard]] int removeFile(const std::string& path);
[[nodiscard]] int renameFile(const std::string& from, const std::string& to);
// Renames only when `to` does not exist yet (EEXIST otherwise).
[[nodiscard]] int renameFileNoReplace(const std::string& from, const std::string& to);

}  // namespace kestrel
