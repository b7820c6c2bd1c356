#include "dbase/SemaphoreFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "dbase/IndexError.h"

namespace kestrel {

namespace {

constexpr off_t kCountedBytes = 1;  // bytes 1-4 guard bytes 0 and 1
constexpr off_t kCountedLength = 4;
// The code a refused lock is reported with (file lock violation).
constexpr int kLockViolation = 33;
const char* const kCrLf = "\r\n";

// One non-blocking attempt at an open-file-description lock: it belongs to
// the descriptor, not the process, so two opens in one process exclude each
// other as two processes do.
bool tryLock(int fd, off_t start, off_t length, short type) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = start;
  lock.l_len = length;
  return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

bool lockWithRetries(int fd, off_t start, off_t length, const SemaphoreFile::Timing& timing) {
  for (int attempt = 0; attempt < timing.lockAttempts; ++attempt) {
    if (tryLock(fd, start, length, F_WRLCK)) return true;
    if (errno != EAGAIN && errno != EACCES && errno != EINTR) return false;
    std::this_thread::sleep_for(timing.attemptPause);
  }
  return false;
}

}  // namespace

SemaphoreFile::SemaphoreFile(std::string path, int tableFd, Timing timing)
    : m_path(std::move(path)), m_tableFd(tableFd), m_timing(timing) {}

SemaphoreFile::~SemaphoreFile() {
  try {
    logOff();
  } catch (...) {
    // The count stays one too high; the next process to log off cannot
    // erase the file, which is harmless.
  }
  if (m_fd >= 0) ::close(m_fd);
}

std::string SemaphoreFile::pathForTable(const std::string& tablePath) {
  const auto slash = tablePath.find_last_of('/');
  const auto dot = tablePath.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasExtension ? tablePath.substr(0, dot) : tablePath) + ".@S@";
}

void SemaphoreFile::lockTable(const char* action) {
  if (!lockWithRetries(m_tableFd, static_cast<off_t>(kTableLockByte), 1, m_timing))
    throw IndexError(
        IndexError::kSemaphoreError,
        "Cannot lock database for: " + m_path + " Action=" + action + " [Database Semaphore]");
}

void SemaphoreFile::unlockTable() {
  tryLock(m_tableFd, static_cast<off_t>(kTableLockByte), 1, F_UNLCK);
}

void SemaphoreFile::lockBytes(const char* action) {
  if (!lockWithRetries(m_fd, kCountedBytes, kCountedLength, m_timing))
    throw IndexError(IndexError::kSemaphoreError,
                     "10 second timeout: Cannot lock index semaphore file: " + m_path + " " +
                         action + kCrLf + "Possible cause: Network lock limit exceeded" + kCrLf +
                         " Lock result code: " + std::to_string(kLockViolation));
}

void SemaphoreFile::unlockBytes() {
  tryLock(m_fd, kCountedBytes, kCountedLength, F_UNLCK);
}

std::uint8_t SemaphoreFile::readByte(int offset) const {
  unsigned char b = 0;
  // A file shorter than 4 bytes (cut by someone else) reads as zeros.
  if (::pread(m_fd, &b, 1, offset) < 0)
    throw IndexError::fromErrno(errno, m_path + " [Database Semaphore]");
  return b;
}

void SemaphoreFile::writeByte(int offset, std::uint8_t value) {
  if (::pwrite(m_fd, &value, 1, offset) != 1)
    throw IndexError::fromErrno(errno, m_path + " [Database Semaphore]");
}

std::uint8_t SemaphoreFile::processCount() const {
  return readByte(0);
}
std::uint8_t SemaphoreFile::readerByte() const {
  return readByte(1);
}

void SemaphoreFile::logOn() {
  if (m_fd >= 0) return;
  lockTable("LOGIN");
  // Holding the table's byte, no other process creates or erases the file now.
  try {
    m_fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (m_fd < 0) throw IndexError::fromErrno(errno, m_path + " [Database Semaphore]");
    static const unsigned char zeros[4] = {0, 0, 0, 0};
    if (::lseek(m_fd, 0, SEEK_END) < 4 && ::pwrite(m_fd, zeros, 4, 0) != 4)
      throw IndexError::fromErrno(errno, m_path + " [Database Semaphore]");
    lockBytes("LOGIN");
    const std::uint8_t count = readByte(0);
    // A count at 255 is left there rather than wrapped to 0.
    if (count < 255) writeByte(0, static_cast<std::uint8_t>(count + 1));
    unlockBytes();
  } catch (...) {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    unlockTable();
    throw;
  }
  unlockTable();
}

void SemaphoreFile::logOff() {
  if (m_fd < 0) return;
  lockTable("LOGOUT");
  try {
    lockBytes("LOGOUT");
    const std::uint8_t count = readByte(0);
    const std::uint8_t left = count > 0 ? static_cast<std::uint8_t>(count - 1) : 0;
    writeByte(0, left);
    if (left == 0) ::unlink(m_path.c_str());
    unlockBytes();
  } catch (...) {
    unlockTable();
    throw;
  }
  ::close(m_fd);
  m_fd = -1;
  unlockTable();
}

void SemaphoreFile::changeTimeout() const {
  throw IndexError(IndexError::kSemaphoreError,
                   std::string("100") + " second timeout, cannot read: " + m_path + kCrLf +
                       "Possible cause: Other user's program has terminated abnormally." + kCrLf +
                       "Cure: Log all users of this application off the network," + kCrLf +
                       "then delete " + m_path);
}

void SemaphoreFile::beginRead() {
  if (m_fd < 0) return;
  const auto deadline = std::chrono::steady_clock::now() + m_timing.changeWait;
  for (;;) {
    lockBytes("READ");
    const std::uint8_t readers = readByte(1);
    if (readers != kChangeMark) {
      if (readers < kMaxReaders) writeByte(1, static_cast<std::uint8_t>(readers + 1));
      unlockBytes();
      return;
    }
    unlockBytes();
    if (std::chrono::steady_clock::now() >= deadline) changeTimeout();
    std::this_thread::sleep_for(m_timing.attemptPause);
  }
}

void SemaphoreFile::endRead() {
  if (m_fd < 0) return;
  lockBytes("READ");
  const std::uint8_t readers = readByte(1);
  if (readers != kChangeMark && readers > 0) writeByte(1, static_cast<std::uint8_t>(readers - 1));
  unlockBytes();
}

void SemaphoreFile::beginChange() {
  if (m_fd < 0) return;
  const auto deadline = std::chrono::steady_clock::now() + m_timing.changeWait;
  for (;;) {
    lockBytes("WRITE");
    if (readByte(1) == 0) {
      writeByte(1, kChangeMark);
      unlockBytes();
      return;
    }
    unlockBytes();
    if (std::chrono::steady_clock::now() >= deadline) changeTimeout();
    std::this_thread::sleep_for(m_timing.attemptPause);
  }
}

void SemaphoreFile::endChange() {
  if (m_fd < 0) return;
  lockBytes("WRITE");
  writeByte(1, 0);
  unlockBytes();
}

}  // namespace kestrel
