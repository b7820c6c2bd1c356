#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "dbase/IndexKey.h"

namespace kestrel {

// Sorts (key, record number) pairs by key, equal keys by record number,
// within a memory budget. Pairs go in with add() in any order; after finish()
// next() hands them out sorted. Pairs that fit in the budget are sorted in
// memory; otherwise each full buffer is sorted and written as a run to one
// temporary file, and finish() merges all runs in a single pass, so every
// pair is written once and read once. The temporary file is unlinked as soon
// as it is created: it disappears with the sorter, also after an error.
class ExternalSort {
 public:
  // memoryBudget: bytes for pairs and their order (a few pairs at least are
  // always kept). tempFolder: where the run file goes; empty means the
  // system's temporary folder.
  ExternalSort(const IndexKey& key, std::size_t memoryBudget, std::string tempFolder = {});
  ~ExternalSort();
  ExternalSort(const ExternalSort&) = delete;
  ExternalSort& operator=(const ExternalSort&) = delete;

  // Requires: finish() not called yet; key has key.length() bytes.
  void add(const unsigned char* key, std::uint32_t recNo);
  // Ends the input and prepares the sorted output.
  void finish();

  // The next pair in order, or false after the last one. `key` stays valid
  // until the next call. Requires: finish() called.
  bool next(const unsigned char*& key, std::uint32_t& recNo);

  std::uint64_t size() const { return m_total; }
  // Runs written to the temporary file (0 when everything fitted in memory).
  std::size_t runCount() const { return m_runs.size(); }

 private:
  struct Run {
    std::uint64_t offset = 0;     // in the temporary file
    std::uint64_t remaining = 0;  // entries not yet loaded into buffer
    std::vector<unsigned char> buffer;
    std::size_t position = 0;  // byte offset of the current entry in buffer
    std::size_t filled = 0;    // bytes loaded in buffer
  };

  bool less(const unsigned char* a, const unsigned char* b) const;
  // Heap order of the runs: true when run a's current entry sorts after b's.
  bool runAfter(std::size_t a, std::size_t b) const;
  void sortBuffer();
  void spillRun();
  bool refill(Run& run);
  void openTempFile();
  void writeAll(const unsigned char* data, std::size_t size);

  IndexKey m_key;
  std::size_t m_entrySize;  // key bytes + 4-byte record number
  std::size_t m_budget;
  std::size_t m_capacity;  // entries held in memory before a run is written
  std::string m_tempFolder;

  std::vector<unsigned char> m_buffer;
  // An entry's place in the buffer with the leading bytes of its key in an
  // order-preserving form, so that most comparisons of the in-memory sort
  // never touch the scattered entries themselves.
  struct Item {
    std::uint64_t prefix;
    std::uint32_t index;
  };
  std::vector<Item> m_order;  // sorted by sortBuffer()
  std::uint64_t m_total = 0;
  bool m_finished = false;
  std::size_t m_next = 0;  // in-memory output position

  int m_fd = -1;
  std::uint64_t m_fileSize = 0;
  std::vector<Run> m_runs;
  std::vector<std::size_t> m_heap;  // run indexes, smallest current entry on top
  std::vector<unsigned char> m_current;
};

}  // namespace kestrel
