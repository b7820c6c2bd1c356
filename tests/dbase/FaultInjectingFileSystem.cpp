#include "FaultInjectingFileSystem.h"

#include <algorithm>

namespace kestrel::test {

void FaultInjectingFileSystem::failWrite(int nth, WriteFault how, int error) {
  m_writes = 0;
  m_failWrite = nth;
  m_writeFault = how;
  m_writeError = error;
  m_struck = false;
}

void FaultInjectingFileSystem::failRead(int nth, int error) {
  m_reads = 0;
  m_failRead = nth;
  m_readError = error;
  m_struck = false;
}

void FaultInjectingFileSystem::failLock(int nth, int error) {
  m_locks = 0;
  m_failLock = nth;
  m_lockError = error;
  m_struck = false;
}

void FaultInjectingFileSystem::diskFullAfter(std::int64_t bytes) {
  m_spaceLeft = bytes;
  m_struck = false;
}

void FaultInjectingFileSystem::disarm() {
  m_failWrite = m_failRead = m_failLock = 0;
  m_spaceLeft = -1;
}

int FaultInjectingFileSystem::open(const std::string& path, OpenMode mode, int& handle) {
  const int error = real().open(path, mode, handle);
  if (error == 0) m_paths[handle] = path;
  return error;
}

void FaultInjectingFileSystem::close(int handle) {
  m_paths.erase(handle);
  real().close(handle);
}

int FaultInjectingFileSystem::readAt(int handle, std::int64_t offset, void* buffer,
                                     std::size_t size, std::size_t& got) {
  if (m_failRead > 0 && ++m_reads == m_failRead) {
    got = 0;
    m_struck = true;
    return m_readError;
  }
  const int error = real().readAt(handle, offset, buffer, size, got);
  m_bytesRead += static_cast<std::int64_t>(got);
  return error;
}

int FaultInjectingFileSystem::writeAt(int handle, std::int64_t offset, const void* buffer,
                                      std::size_t size) {
  if (m_beforeWrite) m_beforeWrite(m_paths[handle], offset, size);
  ++m_writes;
  if (m_failWrite > 0 && m_writes == m_failWrite) {
    m_struck = true;
    if (m_writeFault == WriteFault::Torn && size > 1) {
      (void)real().writeAt(handle, offset, buffer, size / 2);
    }
    return m_writeError;
  }
  if (m_spaceLeft >= 0) {
    const std::int64_t grows =
        std::max<std::int64_t>(0, offset + static_cast<std::int64_t>(size) - real().size(handle));
    if (grows > m_spaceLeft) {
      m_struck = true;
      const std::int64_t fits = static_cast<std::int64_t>(size) - (grows - m_spaceLeft);
      if (fits > 0) (void)real().writeAt(handle, offset, buffer, static_cast<std::size_t>(fits));
      m_spaceLeft = 0;
      return ENOSPC;
    }
    m_spaceLeft -= grows;
  }
  return real().writeAt(handle, offset, buffer, size);
}

int FaultInjectingFileSystem::lock(int handle, std::int64_t offset, std::int64_t length,
                                   LockOp op) {
  if (m_failLock > 0 && ++m_locks == m_failLock) {
    m_struck = true;
    return m_lockError;
  }
  return real().lock(handle, offset, length, op);
}

}  // namespace kestrel::test
