#include "dbase/OsFile.h"

#include <dirent.h>

#include <cerrno>
#include <utility>

#include "dbase/AsciiText.h"
#include "dbase/FilePath.h"

namespace kestrel {

OsFile::~OsFile() {
  close();
}

OsFile::OsFile(OsFile&& other) noexcept
    : m_fs(std::exchange(other.m_fs, nullptr)), m_handle(std::exchange(other.m_handle, -1)) {}

OsFile& OsFile::operator=(OsFile&& other) noexcept {
  if (this != &other) {
    close();
    m_fs = std::exchange(other.m_fs, nullptr);
    m_handle = std::exchange(other.m_handle, -1);
  }
  return *this;
}

int OsFile::openWith(const std::string& path, FileSystem::OpenMode mode) {
  close();
  m_fs = &currentFileSystem();
  const int error = m_fs->open(path, mode, m_handle);
  if (error != 0) m_handle = -1;
  return error;
}

int OsFile::open(const std::string& path, Access access) {
  return openWith(path, access == Access::ReadOnly ? FileSystem::OpenMode::ReadOnly
                                                   : FileSystem::OpenMode::ReadWrite);
}

int OsFile::create(const std::string& path) {
  return openWith(path, FileSystem::OpenMode::CreateEmpty);
}

int OsFile::createNew(const std::string& path) {
  return openWith(path, FileSystem::OpenMode::CreateNew);
}

int OsFile::openOrCreate(const std::string& path) {
  return openWith(path, FileSystem::OpenMode::OpenOrCreate);
}

void OsFile::close() {
  if (m_handle >= 0) {
    m_fs->close(m_handle);
    m_handle = -1;
  }
}

bool OsFile::isFileAt(const std::string& path) const {
  return m_handle >= 0 && m_fs->isFileAt(m_handle, path);
}

int OsFile::readAt(std::int64_t offset, void* buffer, std::size_t size, std::size_t& got) const {
  got = 0;
  if (m_handle < 0) return EBADF;
  return m_fs->readAt(m_handle, offset, buffer, size, got);
}

int OsFile::writeAt(std::int64_t offset, const void* buffer, std::size_t size) {
  if (m_handle < 0) return EBADF;
  return m_fs->writeAt(m_handle, offset, buffer, size);
}

std::int64_t OsFile::size() const {
  return m_handle < 0 ? -1 : m_fs->size(m_handle);
}

int OsFile::truncate(std::int64_t size) {
  if (m_handle < 0) return EBADF;
  return m_fs->truncate(m_handle, size);
}

int OsFile::tryLock(std::int64_t offset, std::int64_t length, LockKind kind) {
  if (m_handle < 0) return EBADF;
  return m_fs->lock(
      m_handle, offset, length,
      kind == LockKind::Shared ? FileSystem::LockOp::Shared : FileSystem::LockOp::Exclusive);
}

int OsFile::unlock(std::int64_t offset, std::int64_t length) {
  if (m_handle < 0) return EBADF;
  return m_fs->lock(m_handle, offset, length, FileSystem::LockOp::Unlock);
}

bool fileExists(const std::string& path) {
  return currentFileSystem().exists(path);
}

std::string findIgnoringCase(const std::string& path) {
  if (fileExists(path)) return path;
  const std::string name = asciiLower(fileNameOf(path));
  DIR* dir = ::opendir(folderOf(path).c_str());
  if (dir == nullptr) return path;
  std::string found = path;
  while (const dirent* entry = ::readdir(dir)) {
    if (asciiLower(entry->d_name) == name) {
      found = pathBeside(path, entry->d_name);
      break;
    }
  }
  ::closedir(dir);
  return found;
}

int removeFile(const std::string& path) {
  return currentFileSystem().remove(path);
}

int renameFile(const std::string& from, const std::string& to) {
  return currentFileSystem().rename(from, to);
}

int renameFileNoReplace(const std::string& from, const std::string& to) {
  return currentFileSystem().renameNoReplace(from, to);
}

}  // namespace kestrel
