#include "dbase/ExternalSort.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "dbase/IndexError.h"
#include "dbase/MdxFormat.h"

namespace kestrel {

namespace {
// Below this a run buffer costs more in system calls than it saves.
constexpr std::size_t kMinEntriesPerRead = 16;
constexpr std::size_t kMinEntriesInMemory = 2;
constexpr std::size_t kWriteChunk = 1 << 16;
const char* const kOperation = " [MakeIndex sort]";
}  // namespace

ExternalSort::ExternalSort(const IndexKey& key, std::size_t memoryBudget, std::string tempFolder)
    : m_key(key),
      m_entrySize(key.length() + 4),
      m_budget(memoryBudget),
      m_capacity(std::clamp<std::size_t>(memoryBudget / (m_entrySize + sizeof(Item)),
                                         kMinEntriesInMemory, UINT32_MAX)),
      m_tempFolder(std::move(tempFolder)),
      m_current(m_entrySize) {}

ExternalSort::~ExternalSort() {
  if (m_fd >= 0) ::close(m_fd);
}

bool ExternalSort::less(const unsigned char* a, const unsigned char* b) const {
  const std::size_t k = m_key.length();
  return m_key.compareEntries(a, mdx::getLe32(a + k), b, mdx::getLe32(b + k)) < 0;
}

void ExternalSort::add(const unsigned char* key, std::uint32_t recNo) {
  if (m_finished) throw std::logic_error("ExternalSort: add after finish");
  if (m_order.size() == m_capacity) spillRun();
  if (m_buffer.empty()) m_buffer.reserve(std::min<std::size_t>(m_capacity, 1 << 20) * m_entrySize);
  const std::size_t at = m_buffer.size();
  m_buffer.resize(at + m_entrySize);
  std::memcpy(m_buffer.data() + at, key, m_key.length());
  mdx::putLe32(m_buffer.data() + at + m_key.length(), recNo);
  m_order.push_back(Item{m_key.sortPrefix(key), static_cast<std::uint32_t>(m_order.size())});
  ++m_total;
}

bool ExternalSort::runAfter(std::size_t a, std::size_t b) const {
  return less(m_runs[b].buffer.data() + m_runs[b].position,
              m_runs[a].buffer.data() + m_runs[a].position);
}

void ExternalSort::sortBuffer() {
  const unsigned char* base = m_buffer.data();
  const std::size_t size = m_entrySize;
  std::sort(m_order.begin(), m_order.end(), [&](const Item& x, const Item& y) {
    if (x.prefix != y.prefix) return x.prefix < y.prefix;
    return less(base + std::size_t{x.index} * size, base + std::size_t{y.index} * size);
  });
}

void ExternalSort::openTempFile() {
  std::string folder = m_tempFolder;
  if (folder.empty()) folder = std::filesystem::temp_directory_path().string();
  std::string pattern = folder + "/kestrel-sort-XXXXXX";
  m_fd = ::mkstemp(pattern.data());
  if (m_fd < 0) throw IndexError::fromErrno(errno, pattern + kOperation);
  // Unlinked at once, the file goes away with the descriptor whatever happens.
  ::unlink(pattern.c_str());
}

void ExternalSort::writeAll(const unsigned char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::pwrite(m_fd, data, size, static_cast<off_t>(m_fileSize));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      throw IndexError::fromErrno(n < 0 ? errno : ENOSPC,
                                  "temporary file" + std::string(kOperation));
    data += n;
    size -= static_cast<std::size_t>(n);
    m_fileSize += static_cast<std::uint64_t>(n);
  }
}

void ExternalSort::spillRun() {
  if (m_fd < 0) openTempFile();
  sortBuffer();
  Run run;
  run.offset = m_fileSize;
  run.remaining = m_order.size();
  std::vector<unsigned char> chunk;
  chunk.reserve(kWriteChunk + m_entrySize);
  for (const Item& item : m_order) {
    const unsigned char* entry = m_buffer.data() + std::size_t{item.index} * m_entrySize;
    chunk.insert(chunk.end(), entry, entry + m_entrySize);
    if (chunk.size() >= kWriteChunk) {
      writeAll(chunk.data(), chunk.size());
      chunk.clear();
    }
  }
  writeAll(chunk.data(), chunk.size());
  m_runs.push_back(std::move(run));
  m_buffer.clear();
  m_order.clear();
}

bool ExternalSort::refill(Run& run) {
  if (run.remaining == 0) return false;
  const std::size_t capacity = run.buffer.size() / m_entrySize;
  const std::size_t entries =
      static_cast<std::size_t>(std::min<std::uint64_t>(capacity, run.remaining));
  const std::size_t bytes = entries * m_entrySize;
  std::size_t done = 0;
  while (done < bytes) {
    const ssize_t n = ::pread(m_fd, run.buffer.data() + done, bytes - done,
                              static_cast<off_t>(run.offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      throw IndexError::fromErrno(n < 0 ? errno : EIO, "temporary file" + std::string(kOperation));
    done += static_cast<std::size_t>(n);
  }
  run.offset += bytes;
  run.remaining -= entries;
  run.position = 0;
  run.filled = bytes;
  return true;
}

void ExternalSort::finish() {
  if (m_finished) return;
  m_finished = true;
  if (m_runs.empty()) {
    sortBuffer();
    return;
  }
  if (!m_order.empty()) spillRun();
  // The in-memory buffer is free now; its budget is shared by the runs.
  std::vector<unsigned char>().swap(m_buffer);
  std::vector<Item>().swap(m_order);
  const std::size_t perRun =
      std::max(kMinEntriesPerRead, m_budget / m_runs.size() / m_entrySize) * m_entrySize;
  auto greater = [this](std::size_t a, std::size_t b) { return runAfter(a, b); };
  for (std::size_t r = 0; r < m_runs.size(); ++r) {
    m_runs[r].buffer.resize(perRun);
    if (refill(m_runs[r])) {
      m_heap.push_back(r);
      std::push_heap(m_heap.begin(), m_heap.end(), greater);
    }
  }
}

bool ExternalSort::next(const unsigned char*& key, std::uint32_t& recNo) {
  if (!m_finished) throw std::logic_error("ExternalSort: next before finish");
  const std::size_t k = m_key.length();
  if (m_runs.empty()) {
    if (m_next >= m_order.size()) return false;
    key = m_buffer.data() + std::size_t{m_order[m_next++].index} * m_entrySize;
    recNo = mdx::getLe32(key + k);
    return true;
  }
  if (m_heap.empty()) return false;
  auto greater = [this](std::size_t a, std::size_t b) { return runAfter(a, b); };
  std::pop_heap(m_heap.begin(), m_heap.end(), greater);
  const std::size_t r = m_heap.back();
  Run& run = m_runs[r];
  std::memcpy(m_current.data(), run.buffer.data() + run.position, m_entrySize);
  run.position += m_entrySize;
  if (run.position < run.filled || refill(run)) {
    std::push_heap(m_heap.begin(), m_heap.end(), greater);
  } else {
    m_heap.pop_back();
  }
  key = m_current.data();
  recNo = mdx::getLe32(key + k);
  return true;
}

}  // namespace kestrel
