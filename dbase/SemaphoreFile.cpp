#include "dbase/SemaphoreFile.h"

#include <cerrno>
#include <thread>

#include "dbase/FilePath.h"
#include "dbase/IndexError.h"
#include "dbase/MessagePath.h"

namespace kestrel {

namespace {

constexpr std::int64_t kCountedBytes = 1;  // bytes 1-4 guard bytes 0 and 1
constexpr std::int64_t kCountedLength = 4;
// The code a refused lock is reported with (file lock violation).
constexpr int kLockViolation = 33;
const char* const kCrLf = "\r\n";

// Single attempts at a lock of the open file (it belongs to that open file,
// not the process, so two opens in one process exclude each other as two
// processes do), repeated while another holds it.
bool lockWithRetries(OsFile& file, std::int64_t start, std::int64_t length,
                     const SemaphoreFile::Timing& timing) {
  for (int attempt = 0; attempt < timing.lockAttempts; ++attempt) {
    const int error = file.tryLock(start, length, OsFile::LockKind::Exclusive);
    if (error == 0) return true;
    if (error != EAGAIN && error != EINTR) return false;
    std::this_thread::sleep_for(timing.attemptPause);
  }
  return false;
}

}  // namespace

SemaphoreFile::SemaphoreFile(std::string path, OsFile& table, Timing timing)
    : m_path(std::move(path)), m_table(table), m_timing(timing) {}

SemaphoreFile::~SemaphoreFile() {
  try {
    logOff();
  } catch (...) {
    // The count stays one too high; the next process to log off cannot
    // erase the file, which is harmless.
  }
}

std::string SemaphoreFile::pathForTable(const std::string& tablePath) {
  return withExtension(tablePath, ".@S@");
}

void SemaphoreFile::lockTable(const char* action) {
  if (!lockWithRetries(m_table, static_cast<std::int64_t>(kTableLockByte), 1, m_timing))
    throw IndexError(IndexError::kSemaphoreError,
                     "Cannot lock database for: " + messagePath(m_path) + " Action=" + action +
                         " [Database Semaphore]");
}

void SemaphoreFile::unlockTable() {
  // Unlocking a byte we hold does not fail; should it, closing the table
  // releases it.
  (void)m_table.unlock(static_cast<std::int64_t>(kTableLockByte), 1);
}

void SemaphoreFile::lockBytes(const char* action) {
  if (!lockWithRetries(m_file, kCountedBytes, kCountedLength, m_timing))
    throw IndexError(IndexError::kSemaphoreError,
                     "10 second timeout: Cannot lock index semaphore file: " + messagePath(m_path) +
                         " " + action + kCrLf + "Possible cause: Network lock limit exceeded" +
                         kCrLf + " Lock result code: " + std::to_string(kLockViolation));
}

void SemaphoreFile::unlockBytes() {
  (void)m_file.unlock(kCountedBytes, kCountedLength);  // as unlockTable
}

std::uint8_t SemaphoreFile::readByte(int offset) const {
  unsigned char b = 0;
  std::size_t got = 0;
  // A file shorter than 4 bytes (cut by someone else) reads as zeros.
  if (int error = m_file.readAt(offset, &b, 1, got)) {
    throw IndexError::fromErrno(error, messagePath(m_path) + " [Database Semaphore]");
  }
  return b;
}

void SemaphoreFile::writeByte(int offset, std::uint8_t value) {
  if (int error = m_file.writeAt(offset, &value, 1)) {
    throw IndexError::fromErrno(error, messagePath(m_path) + " [Database Semaphore]");
  }
}

std::uint8_t SemaphoreFile::processCount() const {
  return readByte(0);
}
std::uint8_t SemaphoreFile::readerByte() const {
  return readByte(1);
}

void SemaphoreFile::logOn() {
  if (m_file.isOpen()) return;
  lockTable("LOGIN");
  // Holding the table's byte, no other process creates or erases the file now.
  try {
    if (int error = m_file.openOrCreate(m_path)) {
      throw IndexError::fromErrno(error, messagePath(m_path) + " [Database Semaphore]");
    }
    static const unsigned char zeros[4] = {0, 0, 0, 0};
    if (m_file.size() < 4) {
      if (int error = m_file.writeAt(0, zeros, sizeof zeros)) {
        throw IndexError::fromErrno(error, messagePath(m_path) + " [Database Semaphore]");
      }
    }
    lockBytes("LOGIN");
    const std::uint8_t count = readByte(0);
    // A count at 255 is left there rather than wrapped to 0.
    if (count < 255) writeByte(0, static_cast<std::uint8_t>(count + 1));
    unlockBytes();
  } catch (...) {
    m_file.close();
    unlockTable();
    throw;
  }
  unlockTable();
}

void SemaphoreFile::logOff() {
  if (!m_file.isOpen()) return;
  lockTable("LOGOUT");
  try {
    lockBytes("LOGOUT");
    const std::uint8_t count = readByte(0);
    const std::uint8_t left = count > 0 ? static_cast<std::uint8_t>(count - 1) : 0;
    writeByte(0, left);
    if (left == 0) (void)removeFile(m_path);  // a file left behind is harmless
    unlockBytes();
  } catch (...) {
    unlockTable();
    throw;
  }
  m_file.close();
  unlockTable();
}

void SemaphoreFile::changeTimeout() const {
  throw IndexError(IndexError::kSemaphoreError,
                   std::string("100") + " second timeout, cannot read: " + messagePath(m_path) +
                       kCrLf + "Possible cause: Other user's program has terminated abnormally." +
                       kCrLf + "Cure: Log all users of this application off the network," + kCrLf +
                       "then delete " + messagePath(m_path));
}

void SemaphoreFile::untilTaken(const char* action, const std::function<bool()>& take) {
  const auto deadline = std::chrono::steady_clock::now() + m_timing.changeWait;
  for (;;) {
    lockBytes(action);
    const bool taken = take();
    unlockBytes();
    if (taken) return;
    if (std::chrono::steady_clock::now() >= deadline) changeTimeout();
    std::this_thread::sleep_for(m_timing.attemptPause);
  }
}

void SemaphoreFile::beginRead() {
  if (!m_file.isOpen()) return;
  untilTaken("READ", [this] {
    const std::uint8_t readers = readByte(1);
    if (readers == kChangeMark) return false;
    if (readers < kMaxReaders) writeByte(1, static_cast<std::uint8_t>(readers + 1));
    return true;
  });
}

void SemaphoreFile::endRead() {
  if (!m_file.isOpen()) return;
  lockBytes("READ");
  const std::uint8_t readers = readByte(1);
  if (readers != kChangeMark && readers > 0) writeByte(1, static_cast<std::uint8_t>(readers - 1));
  unlockBytes();
}

void SemaphoreFile::beginChange() {
  if (!m_file.isOpen()) return;
  untilTaken("WRITE", [this] {
    if (readByte(1) != 0) return false;
    writeByte(1, kChangeMark);
    return true;
  });
}

void SemaphoreFile::endChange() {
  if (!m_file.isOpen()) return;
  lockBytes("WRITE");
  writeByte(1, 0);
  unlockBytes();
}

}  // namespace kestrel
