#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "dbase/OsFile.h"

namespace kestrel {

// The semaphore file ".@S@" beside a shared table while an index of it is
// open. Byte 0 counts the processes that have an index of the table open;
// byte 1 counts the processes reading through it at this moment (at most
// 127), or holds kChangeMark while one process changes the index. Bytes 1-4
// are locked around every change of bytes 0-1, and logging on or off also
// holds the table's own semaphore lock byte, so that creating and erasing the
// file cannot race. Locks are single non-blocking attempts, repeated with a
// short pause.
class SemaphoreFile {
 public:
  static constexpr std::uint64_t kTableLockByte = 0x40000000;  // the table's lock base
  static constexpr std::uint8_t kMaxReaders = 127;
  static constexpr std::uint8_t kChangeMark = 0xFF;

  struct Timing {
    int lockAttempts = 1000;  // per lock, ~10 s in all
    std::chrono::microseconds attemptPause{10000};
    std::chrono::milliseconds changeWait{100000};  // for readers to finish
  };

  // table: the open table file, whose lock byte is taken; it stays the
  // caller's and must outlive this object.
  SemaphoreFile(std::string path, OsFile& table, Timing timing);
  SemaphoreFile(std::string path, OsFile& table)
      : SemaphoreFile(std::move(path), table, Timing{}) {}
  // Logs off when still logged on, silently.
  ~SemaphoreFile();
  SemaphoreFile(const SemaphoreFile&) = delete;
  SemaphoreFile& operator=(const SemaphoreFile&) = delete;

  // The table's path with its extension replaced by ".@S@".
  static std::string pathForTable(const std::string& tablePath);

  // When the index is opened: creates the file if needed and counts this
  // process in. IndexError 1202 when a lock cannot be had.
  void logOn();
  // When the index is closed: counts this process out and erases the file
  // when no process is left. Does nothing when not logged on.
  void logOff();
  bool loggedOn() const { return m_file.isOpen(); }

  // Around each read through the index; a read waits while another process
  // is changing the index.
  void beginRead();
  void endRead();
  // Around each change of the index: waits until no process reads, then
  // marks the change. IndexError 1202 after the wait ends without luck.
  void beginChange();
  void endChange();

  // Bytes 0 and 1 as they are in the file now (for tests and diagnostics).
  std::uint8_t processCount() const;
  std::uint8_t readerByte() const;

 private:
  void lockTable(const char* action);
  void unlockTable();
  void lockBytes(const char* action);
  void unlockBytes();
  std::uint8_t readByte(int offset) const;
  void writeByte(int offset, std::uint8_t value);
  [[noreturn]] void changeTimeout() const;
  // Runs `take` under the byte lock until it answers true (the turn is
  // taken), pausing between attempts, until another process's change has
  // kept the turn for too long.
  void untilTaken(const char* action, const std::function<bool()>& take);

  std::string m_path;
  OsFile& m_table;
  Timing m_timing;
  OsFile m_file;
};

}  // namespace kestrel
