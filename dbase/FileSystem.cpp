#include "dbase/FileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "dbase/FilePath.h"

namespace kestrel {
namespace {

// A folder whose files belong to the group of the folder (set-group-ID) and
// which that group may write is shared by the users who print together: a
// table, index or semaphore file made in it must be writable by all of them,
// whoever made it and whatever their umask.
void letTheFoldersGroupWrite(int handle, const std::string& path) {
  const std::string folder = folderOf(path);
  struct stat file {};
  struct stat parent {};
  if (::fstat(handle, &file) != 0 || file.st_uid != ::geteuid() || !S_ISREG(file.st_mode)) return;
  constexpr mode_t kGroupReadWrite = S_IRGRP | S_IWGRP;
  if ((file.st_mode & kGroupReadWrite) == kGroupReadWrite) return;
  if (::stat(folder.c_str(), &parent) != 0) return;
  if ((parent.st_mode & (S_ISGID | S_IWGRP)) != (S_ISGID | S_IWGRP)) return;
  // Failing leaves the file as the umask made it; the other users then meet
  // a write error that names it.
  (void)::fchmod(handle, (file.st_mode & 07777) | kGroupReadWrite);
}

class PosixFileSystem final : public FileSystem {
 public:
  int open(const std::string& path, OpenMode mode, int& handle) override {
    int flags = O_CLOEXEC;
    switch (mode) {
      case OpenMode::ReadOnly:
        flags |= O_RDONLY;
        break;
      case OpenMode::ReadWrite:
        flags |= O_RDWR;
        break;
      case OpenMode::OpenOrCreate:
        flags |= O_RDWR | O_CREAT;
        break;
      case OpenMode::CreateEmpty:
        flags |= O_RDWR | O_CREAT | O_TRUNC;
        break;
      case OpenMode::CreateNew:
        flags |= O_RDWR | O_CREAT | O_EXCL;
        break;
    }
    handle = ::open(path.c_str(), flags, 0666);
    if (handle < 0) return errno;
    if (mode != OpenMode::ReadOnly && mode != OpenMode::ReadWrite)
      letTheFoldersGroupWrite(handle, path);
    // A folder opened for writing fails with EISDIR already; only a
    // read-only open can succeed on one and needs the check.
    struct stat info {};
    if (mode == OpenMode::ReadOnly && ::fstat(handle, &info) == 0 && S_ISDIR(info.st_mode)) {
      ::close(handle);
      handle = -1;
      return EISDIR;
    }
    return 0;
  }

  void close(int handle) override { ::close(handle); }

  int readAt(int handle, std::int64_t offset, void* buffer, std::size_t size,
             std::size_t& got) override {
    got = 0;
    auto* out = static_cast<char*>(buffer);
    while (got < size) {
      ssize_t n = ::pread(handle, out + got, size - got, static_cast<off_t>(offset) + got);
      if (n < 0) {
        if (errno == EINTR) continue;
        return errno;
      }
      if (n == 0) break;
      got += static_cast<std::size_t>(n);
    }
    return 0;
  }

  int writeAt(int handle, std::int64_t offset, const void* buffer, std::size_t size) override {
    const auto* in = static_cast<const char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
      ssize_t n = ::pwrite(handle, in + done, size - done, static_cast<off_t>(offset) + done);
      if (n < 0) {
        if (errno == EINTR) continue;
        return errno;
      }
      if (n == 0) return ENOSPC;
      done += static_cast<std::size_t>(n);
    }
    return 0;
  }

  std::int64_t size(int handle) override {
    // Seeking to the end tells the size for half the cost of fstat, and
    // moves nothing that matters: every read and write here is positioned.
    const off_t end = ::lseek(handle, 0, SEEK_END);
    return end < 0 ? -1 : static_cast<std::int64_t>(end);
  }

  int truncate(int handle, std::int64_t size) override {
    return ::ftruncate(handle, static_cast<off_t>(size)) == 0 ? 0 : errno;
  }

  int lock(int handle, std::int64_t offset, std::int64_t length, LockOp op) override {
    struct flock request {};
    request.l_type = op == LockOp::Shared ? F_RDLCK : op == LockOp::Exclusive ? F_WRLCK : F_UNLCK;
    request.l_whence = SEEK_SET;
    request.l_start = static_cast<off_t>(offset);
    request.l_len = static_cast<off_t>(length);
    request.l_pid = 0;  // required for open-file-description locks
    if (::fcntl(handle, F_OFD_SETLK, &request) == 0) return 0;
    const int error = errno;
    return error == EACCES ? EAGAIN : error;
  }

  bool isFileAt(int handle, const std::string& path) override {
    struct stat mine {};
    struct stat named {};
    return ::fstat(handle, &mine) == 0 && ::stat(path.c_str(), &named) == 0 &&
           mine.st_dev == named.st_dev && mine.st_ino == named.st_ino;
  }

  int remove(const std::string& path) override { return ::unlink(path.c_str()) == 0 ? 0 : errno; }

  int rename(const std::string& from, const std::string& to) override {
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
  }

  int renameNoReplace(const std::string& from, const std::string& to) override {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // A file system without that rename: a second name (refused when taken),
    // then the first one removed.
    if (::link(from.c_str(), to.c_str()) != 0) return errno;
    (void)::unlink(from.c_str());
    return 0;
  }

  bool exists(const std::string& path) override {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
  }
};

FileSystem* g_current = nullptr;

}  // namespace

FileSystem& posixFileSystem() {
  static PosixFileSystem posix;
  return posix;
}

FileSystem& currentFileSystem() {
  return g_current != nullptr ? *g_current : posixFileSystem();
}

ScopedFileSystem::ScopedFileSystem(FileSystem& replacement) : m_previous(g_current) {
  g_current = &replacement;
}

ScopedFileSystem::~ScopedFileSystem() {
  g_current = m_previous;
}

}  // namespace kestrel
