#pragma once

#include <cerrno>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "dbase/FileSystem.h"

namespace kestrel::test {

// The real files, with faults on demand (in the spirit of LevelDB's
// ErrorEnv): the Nth read, write or lock from the moment a fault is armed
// fails, a write may fail after writing half its bytes (a torn write), and a
// disk may be full past a number of bytes more. Counting starts anew with
// every arm call; disarm() ends every fault. Install it with a
// ScopedFileSystem before the files are opened.
class FaultInjectingFileSystem final : public FileSystem {
 public:
  enum class WriteFault { Fails, Torn };

  void failWrite(int nth, WriteFault how = WriteFault::Fails, int error = EIO);
  void failRead(int nth, int error = EIO);
  void failLock(int nth, int error = ENOLCK);
  // Writes that would end more than `bytes` past the sizes files have now
  // write what fits and fail with ENOSPC.
  void diskFullAfter(std::int64_t bytes);
  void disarm();

  // Called before every write with the file's path, offset and size.
  void beforeWrite(std::function<void(const std::string&, std::int64_t, std::size_t)> hook) {
    m_beforeWrite = std::move(hook);
  }

  int writes() const { return m_writes; }
  // Bytes read through this file system since it was made, faults or not.
  std::int64_t bytesRead() const { return m_bytesRead; }
  // Whether an armed fault has struck since it was armed.
  bool struck() const { return m_struck; }

  int open(const std::string& path, OpenMode mode, int& handle) override;
  void close(int handle) override;
  int readAt(int handle, std::int64_t offset, void* buffer, std::size_t size,
             std::size_t& got) override;
  int writeAt(int handle, std::int64_t offset, const void* buffer, std::size_t size) override;
  std::int64_t size(int handle) override { return real().size(handle); }
  int truncate(int handle, std::int64_t size) override { return real().truncate(handle, size); }
  int lock(int handle, std::int64_t offset, std::int64_t length, LockOp op) override;
  bool isFileAt(int handle, const std::string& path) override {
    return real().isFileAt(handle, path);
  }
  int remove(const std::string& path) override { return real().remove(path); }
  int rename(const std::string& from, const std::string& to) override {
    return real().rename(from, to);
  }
  int renameNoReplace(const std::string& from, const std::string& to) override {
    return real().renameNoReplace(from, to);
  }
  bool exists(const std::string& path) override { return real().exists(path); }

 private:
  static FileSystem& real() { return posixFileSystem(); }

  std::map<int, std::string> m_paths;
  std::function<void(const std::string&, std::int64_t, std::size_t)> m_beforeWrite;
  int m_writes = 0;
  int m_reads = 0;
  int m_locks = 0;
  std::int64_t m_bytesRead = 0;
  int m_failWrite = 0;
  WriteFault m_writeFault = WriteFault::Fails;
  int m_writeError = EIO;
  int m_failRead = 0;
  int m_readError = EIO;
  int m_failLock = 0;
  int m_lockError = ENOLCK;
  std::int64_t m_spaceLeft = -1;  // -1: no limit
  bool m_struck = false;
};

}  // namespace kestrel::test
