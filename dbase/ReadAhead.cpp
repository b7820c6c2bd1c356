#include "dbase/ReadAhead.h"

#include <time.h>

#include <algorithm>

#include "dbase/OsFile.h"

namespace kestrel {
namespace {

// Long enough for a scan to use a whole window (a megabyte of records takes
// a few milliseconds), far too short for a person to see a record change late.
constexpr std::int64_t kFreshForMilliseconds = 50;

// The coarse clock is read without a system call and costs a few nanoseconds,
// which matters because every record of a scan asks it.
std::int64_t nowMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

}  // namespace

int ReadAhead::fill(const OsFile& file, std::int64_t offset, std::size_t size) {
  m_size = 0;
  if (size > m_capacity) {
    m_bytes = std::make_unique_for_overwrite<char[]>(size);
    m_capacity = size;
  }
  std::size_t got = 0;
  if (int error = file.readAt(offset, m_bytes.get(), size, got)) return error;
  m_offset = offset;
  m_size = got;
  m_filledAt = nowMilliseconds();
  return 0;
}

std::size_t ReadAhead::windowBytesAt(std::int64_t offset) const {
  const bool continues = m_size > 0 && offset == m_offset + static_cast<std::int64_t>(m_size);
  return continues ? std::min(2 * m_size, kWindowBytes) : kFirstWindowBytes;
}

const char* ReadAhead::find(std::int64_t offset, std::size_t size) const {
  if (offset < m_offset ||
      offset + static_cast<std::int64_t>(size) > m_offset + static_cast<std::int64_t>(m_size)) {
    return nullptr;
  }
  if (nowMilliseconds() - m_filledAt > kFreshForMilliseconds) return nullptr;
  return m_bytes.get() + (offset - m_offset);
}

}  // namespace kestrel
