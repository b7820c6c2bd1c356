#include "dbase/OsFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace kestrel {
namespace {

int lockCommand(int fd, short type, std::int64_t offset, std::int64_t length) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = static_cast<off_t>(offset);
  lock.l_len = static_cast<off_t>(length);
  lock.l_pid = 0;  // required for open-file-description locks
  if (::fcntl(fd, F_OFD_SETLK, &lock) == 0) return 0;
  int error = errno;
  return error == EACCES ? EAGAIN : error;
}

}  // namespace

OsFile::~OsFile() {
  close();
}

OsFile::OsFile(OsFile&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

OsFile& OsFile::operator=(OsFile&& other) noexcept {
  if (this != &other) {
    close();
    m_fd = std::exchange(other.m_fd, -1);
  }
  return *this;
}

int OsFile::open(const std::string& path, Access access) {
  close();
  int flags = (access == Access::ReadOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC;
  m_fd = ::open(path.c_str(), flags);
  if (m_fd < 0) return errno;
  struct stat info {};
  if (::fstat(m_fd, &info) == 0 && S_ISDIR(info.st_mode)) {
    close();
    return EISDIR;
  }
  return 0;
}

int OsFile::create(const std::string& path) {
  close();
  m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  return m_fd < 0 ? errno : 0;
}

int OsFile::openOrCreate(const std::string& path) {
  close();
  m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  return m_fd < 0 ? errno : 0;
}

bool OsFile::isFileAt(const std::string& path) const {
  struct stat mine {};
  struct stat named {};
  return ::fstat(m_fd, &mine) == 0 && ::stat(path.c_str(), &named) == 0 &&
         mine.st_dev == named.st_dev && mine.st_ino == named.st_ino;
}

void OsFile::close() {
  if (m_fd >= 0) {
    ::close(m_fd);
    m_fd = -1;
  }
}

int OsFile::readAt(std::int64_t offset, void* buffer, std::size_t size, std::size_t& got) const {
  got = 0;
  auto* out = static_cast<char*>(buffer);
  while (got < size) {
    ssize_t n = ::pread(m_fd, out + got, size - got, static_cast<off_t>(offset) + got);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  return 0;
}

int OsFile::writeAt(std::int64_t offset, const void* buffer, std::size_t size) {
  const auto* in = static_cast<const char*>(buffer);
  std::size_t done = 0;
  while (done < size) {
    ssize_t n = ::pwrite(m_fd, in + done, size - done, static_cast<off_t>(offset) + done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return ENOSPC;
    done += static_cast<std::size_t>(n);
  }
  return 0;
}

std::int64_t OsFile::size() const {
  struct stat info {};
  if (::fstat(m_fd, &info) != 0) return -1;
  return static_cast<std::int64_t>(info.st_size);
}

int OsFile::truncate(std::int64_t size) {
  return ::ftruncate(m_fd, static_cast<off_t>(size)) == 0 ? 0 : errno;
}

int OsFile::tryLock(std::int64_t offset, std::int64_t length, LockKind kind) {
  return lockCommand(m_fd, kind == LockKind::Shared ? F_RDLCK : F_WRLCK, offset, length);
}

int OsFile::unlock(std::int64_t offset, std::int64_t length) {
  return lockCommand(m_fd, F_UNLCK, offset, length);
}

bool fileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

}  // namespace kestrel
