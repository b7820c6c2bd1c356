#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "dbase/IndexKey.h"
#include "dbase/OsFile.h"

namespace kestrel {

// Sorts (key, record number) pairs by key, equal keys by record number,
// within a memory budget. Pairs go in with add() in any order; after finish()
// next() hands them out sorted. Pairs that fit in the budget are sorted in
// memory; otherwise each full buffer is sorted and written as a run to one
// temporary file, and finish() merges all runs in a single pass, so every
// pair is written once and read once. A buffer is sorted in cache-sized
// pieces that are then merged, which is much faster than one sort over
// entries scattered through a large buffer. The temporary file is unlinked as soon
// as it is created: it disappears with the sorter, also after an error.
class ExternalSort {
 public:
  // memoryBudget: bytes for the buffered pairs, which are held twice while
  // a buffer is sorted (a few pairs at least are always kept). tempFolder:
  // where the run file goes; empty means the system's temporary folder.
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
  std::size_t runCount() const { return m_fileRuns; }

 private:
  // A sorted sequence being merged: a piece of the in-memory buffer, or a
  // run in the temporary file read a block at a time.
  struct Run {
    const unsigned char* data = nullptr;  // the block of entries at hand
    std::size_t position = 0;             // byte offset of the current entry
    std::size_t filled = 0;               // bytes in the block
    std::uint64_t offset = 0;             // file runs: next unread byte
    std::uint64_t remaining = 0;          // file runs: entries not yet read
    std::vector<unsigned char> buffer;    // file runs: the block read
  };
  // An entry's place in the buffer with the leading bytes of its key in an
  // order-preserving form, so that most comparisons of the in-memory sort
  // never touch the entries themselves.
  struct Item {
    std::uint64_t prefix;
    std::uint32_t index;
  };

  bool less(const unsigned char* a, const unsigned char* b) const;
  // Sorts the buffered entries into m_sorted as sorted pieces, one Run each.
  std::vector<Run> sortPieces();
  // Pops the smallest current entry of the runs on the heap into out.
  bool pop(std::vector<Run>& runs, std::vector<std::size_t>& heap, unsigned char* out);
  void startMerge(std::vector<Run>& runs, std::vector<std::size_t>& heap);
  void spillRun();
  bool refill(Run& run);
  void openTempFile();
  void writeAll(const unsigned char* data, std::size_t size);

  IndexKey m_key;
  std::size_t m_entrySize;  // key bytes + 4-byte record number
  std::size_t m_budget;
  std::size_t m_capacity;  // entries held in memory before a run is written
  std::string m_tempFolder;

  std::vector<unsigned char> m_buffer;  // entries in arrival order
  std::vector<Item> m_order;
  std::vector<unsigned char> m_sorted;  // entries in sorted pieces
  std::uint64_t m_total = 0;
  bool m_finished = false;

  OsFile m_file;  // the temporary file, once a run has to go there
  std::uint64_t m_fileSize = 0;
  std::size_t m_fileRuns = 0;
  std::vector<Run> m_runs;  // being merged for next()
  std::vector<std::size_t> m_heap;
  std::vector<unsigned char> m_current;
};

}  // namespace kestrel
