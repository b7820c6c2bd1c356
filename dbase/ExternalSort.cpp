#include "dbase/ExternalSort.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <stdexcept>

#include "dbase/IndexError.h"
#include "dbase/MdxFormat.h"

namespace kestrel {

namespace {
// Below this a run buffer costs more in system calls than it saves.
constexpr std::size_t kMinEntriesPerRead = 16;
constexpr std::size_t kMinEntriesInMemory = 2;
constexpr std::size_t kWriteChunk = 1 << 16;
// Items sorted at a time before the pieces are merged (1 MiB of items).
constexpr std::size_t kCacheChunk = 1 << 16;
const char* const kOperation = " [MakeIndex sort]";
}  // namespace

ExternalSort::ExternalSort(const IndexKey& key, std::size_t memoryBudget, std::string tempFolder)
    : m_key(key),
      m_entrySize(key.length() + 4),
      m_budget(memoryBudget),
      m_capacity(std::clamp<std::size_t>(memoryBudget / (2 * m_entrySize + sizeof(Item)),
                                         kMinEntriesInMemory, UINT32_MAX)),
      m_tempFolder(std::move(tempFolder)),
      m_current(m_entrySize) {}

ExternalSort::~ExternalSort() = default;

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

std::vector<ExternalSort::Run> ExternalSort::sortPieces() {
  const unsigned char* base = m_buffer.data();
  const std::size_t size = m_entrySize;
  const auto before = [&](const Item& x, const Item& y) {
    if (x.prefix != y.prefix) return x.prefix < y.prefix;
    return less(base + std::size_t{x.index} * size, base + std::size_t{y.index} * size);
  };
  // Each piece is sorted while its items stay in the processor's cache and
  // then copied out in order, so that the merge reads entries sequentially.
  m_sorted.resize(m_order.size() * size);
  std::vector<Run> pieces;
  for (std::size_t at = 0; at < m_order.size(); at += kCacheChunk) {
    const std::size_t end = std::min(m_order.size(), at + kCacheChunk);
    std::sort(m_order.begin() + static_cast<std::ptrdiff_t>(at),
              m_order.begin() + static_cast<std::ptrdiff_t>(end), before);
    for (std::size_t i = at; i < end; ++i)
      std::memcpy(m_sorted.data() + i * size, base + std::size_t{m_order[i].index} * size, size);
    Run piece;
    piece.data = m_sorted.data() + at * size;
    piece.filled = (end - at) * size;
    pieces.push_back(std::move(piece));
  }
  m_buffer.clear();
  m_order.clear();
  return pieces;
}

void ExternalSort::startMerge(std::vector<Run>& runs, std::vector<std::size_t>& heap) {
  heap.clear();
  for (std::size_t r = 0; r < runs.size(); ++r)
    if (runs[r].position < runs[r].filled || refill(runs[r])) heap.push_back(r);
  std::make_heap(heap.begin(), heap.end(), [&](std::size_t a, std::size_t b) {
    return less(runs[b].data + runs[b].position, runs[a].data + runs[a].position);
  });
}

bool ExternalSort::pop(std::vector<Run>& runs, std::vector<std::size_t>& heap, unsigned char* out) {
  if (heap.empty()) return false;
  const auto after = [&](std::size_t a, std::size_t b) {
    return less(runs[b].data + runs[b].position, runs[a].data + runs[a].position);
  };
  std::pop_heap(heap.begin(), heap.end(), after);
  Run& run = runs[heap.back()];
  std::memcpy(out, run.data + run.position, m_entrySize);
  run.position += m_entrySize;
  if (run.position < run.filled || refill(run))
    std::push_heap(heap.begin(), heap.end(), after);
  else
    heap.pop_back();
  return true;
}

void ExternalSort::openTempFile() {
  std::string folder = m_tempFolder;
  if (folder.empty()) folder = std::filesystem::temp_directory_path().string();
  // A name no other sort uses: this process, a count, and a random part.
  static std::atomic<unsigned> count{0};
  std::random_device random;
  int error = EEXIST;
  std::string path;
  for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
    path = folder + "/kestrel-sort-" + std::to_string(::getpid()) + "-" + std::to_string(count++) +
           "-" + std::to_string(random());
    error = m_file.createNew(path);
  }
  if (error != 0) throw IndexError::fromErrno(error, path + kOperation);
  // Removed at once, the file goes away with the open file whatever happens.
  (void)removeFile(path);
}

void ExternalSort::writeAll(const unsigned char* data, std::size_t size) {
  if (int error = m_file.writeAt(static_cast<std::int64_t>(m_fileSize), data, size)) {
    throw IndexError::fromErrno(error, "temporary file" + std::string(kOperation));
  }
  m_fileSize += size;
}

void ExternalSort::spillRun() {
  if (!m_file.isOpen()) openTempFile();
  Run run;
  run.offset = m_fileSize;
  run.remaining = m_order.size();
  std::vector<Run> pieces = sortPieces();
  std::vector<std::size_t> heap;
  startMerge(pieces, heap);
  std::vector<unsigned char> chunk(kWriteChunk / m_entrySize * m_entrySize + m_entrySize);
  std::size_t filled = 0;
  while (pop(pieces, heap, chunk.data() + filled)) {
    filled += m_entrySize;
    if (filled + m_entrySize > chunk.size()) {
      writeAll(chunk.data(), filled);
      filled = 0;
    }
  }
  writeAll(chunk.data(), filled);
  m_runs.push_back(std::move(run));
  ++m_fileRuns;
}

bool ExternalSort::refill(Run& run) {
  if (run.remaining == 0) return false;
  const std::size_t capacity = run.buffer.size() / m_entrySize;
  const std::size_t entries =
      static_cast<std::size_t>(std::min<std::uint64_t>(capacity, run.remaining));
  const std::size_t bytes = entries * m_entrySize;
  std::size_t got = 0;
  const int error =
      m_file.readAt(static_cast<std::int64_t>(run.offset), run.buffer.data(), bytes, got);
  if (error != 0 || got != bytes) {
    throw IndexError::fromErrno(error != 0 ? error : EIO,
                                "temporary file" + std::string(kOperation));
  }
  run.data = run.buffer.data();
  run.offset += bytes;
  run.remaining -= entries;
  run.position = 0;
  run.filled = bytes;
  return true;
}

void ExternalSort::finish() {
  if (m_finished) return;
  m_finished = true;
  if (m_fileRuns == 0) {
    // Everything fitted: the sorted pieces are merged straight out of memory.
    m_runs = sortPieces();
  } else {
    if (!m_order.empty()) spillRun();
    // The in-memory buffers are free now; their budget is shared by the runs.
    std::vector<unsigned char>().swap(m_buffer);
    std::vector<unsigned char>().swap(m_sorted);
    std::vector<Item>().swap(m_order);
    const std::size_t perRun =
        std::max(kMinEntriesPerRead, m_budget / m_runs.size() / m_entrySize) * m_entrySize;
    for (Run& run : m_runs) run.buffer.resize(perRun);
  }
  startMerge(m_runs, m_heap);
}

bool ExternalSort::next(const unsigned char*& key, std::uint32_t& recNo) {
  if (!m_finished) throw std::logic_error("ExternalSort: next before finish");
  if (!pop(m_runs, m_heap, m_current.data())) return false;
  key = m_current.data();
  recNo = mdx::getLe32(key + m_key.length());
  return true;
}

}  // namespace kestrel
