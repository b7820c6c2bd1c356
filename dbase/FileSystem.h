#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kestrel {

// The operating system's files as the storage layer sees them: every open,
// read, write, size, cut, byte-range lock and removal of the layer goes
// through the current FileSystem (OsFile is its only caller), so a test can
// put one in that fails on demand. Functions return 0 or an errno value.
//
// Locks are open-file-description locks: they belong to one open file, not
// to the process, so two opens of one file in one process exclude each other
// and closing one never drops the other's locks. Every lock request is a
// single attempt; EAGAIN means another open file holds a conflicting lock.
class FileSystem {
 public:
  // CreateNew fails with EEXIST when the file is there already.
  enum class OpenMode { ReadOnly, ReadWrite, OpenOrCreate, CreateEmpty, CreateNew };
  enum class LockOp { Shared, Exclusive, Unlock };

  virtual ~FileSystem() = default;

  // On success `handle` names the open file until close.
  [[nodiscard]] virtual int open(const std::string& path, OpenMode mode, int& handle) = 0;
  virtual void close(int handle) = 0;
  // Reads up to `size` bytes; `got` tells how many (fewer at the end of the file).
  [[nodiscard]] virtual int readAt(int handle, std::int64_t offset, void* buffer, std::size_t size,
                                   std::size_t& got) = 0;
  // Writes all bytes or fails; after a failure any part of them may be written.
  [[nodiscard]] virtual int writeAt(int handle, std::int64_t offset, const void* buffer,
                                    std::size_t size) = 0;
  // The current size, or -1.
  [[nodiscard]] virtual std::int64_t size(int handle) = 0;
  [[nodiscard]] virtual int truncate(int handle, std::int64_t size) = 0;
  [[nodiscard]] virtual int lock(int handle, std::int64_t offset, std::int64_t length,
                                 LockOp op) = 0;
  // Whether `path` names the open file (and not another one put there since).
  [[nodiscard]] virtual bool isFileAt(int handle, const std::string& path) = 0;
  [[nodiscard]] virtual int remove(const std::string& path) = 0;
  [[nodiscard]] virtual int rename(const std::string& from, const std::string& to) = 0;
  // Renames only when `to` does not exist (EEXIST otherwise), in one step.
  [[nodiscard]] virtual int renameNoReplace(const std::string& from, const std::string& to) = 0;
  [[nodiscard]] virtual bool exists(const std::string& path) = 0;
};

// The real files of this system.
FileSystem& posixFileSystem();

// The file system the storage layer uses now (posixFileSystem() unless a
// ScopedFileSystem replaced it). Files keep the one they were opened with.
FileSystem& currentFileSystem();

// Puts `replacement` in place for its lifetime (tests). Not thread-safe:
// set it up before the code under test runs.
class ScopedFileSystem {
 public:
  explicit ScopedFileSystem(FileSystem& replacement);
  ~ScopedFileSystem();
  ScopedFileSystem(const ScopedFileSystem&) = delete;
  ScopedFileSystem& operator=(const ScopedFileSystem&) = delete;

 private:
  FileSystem* m_previous;
};

}  // namespace kestrel
