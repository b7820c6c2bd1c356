#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "dbase/OsFile.h"
#include "dbase/TableHeader.h"

namespace kestrel {

// The memo file beside a table: blocks of a fixed size, block 0 the header,
// each memo in consecutive blocks from the number its record holds. Memos are
// only ever added at the end; earlier texts stay until the table is packed.
class MemoFile {
 public:
  // Writes a new, empty dBASE IV memo file (24 header bytes). Returns 0 or errno.
  static int createDbase4(const std::string& path);
  // The memo file of a table path: its extension replaced by DBT (FPT for
  // FoxPro), found regardless of letter case when it exists.
  static std::string memoPathFor(const std::string& tablePath, MemoLayout layout);

  // Opens the memo file; with `exclusive` no other process may have it open.
  // Throws ETableError (the system's code, "Memo file not found: ...").
  void open(const std::string& path, MemoLayout layout, bool exclusive, bool readOnly);
  void close();
  bool isOpen() const { return m_file.isOpen(); }
  const std::string& path() const { return m_path; }
  std::uint32_t blockSize() const { return m_blockSize; }

  // The raw (code-page) text of the memo starting at `block`; a block at or
  // past the end of the file is code 1003 naming `recordNumber`.
  std::string read(std::uint32_t block, std::uint32_t recordNumber) const;

  // Adds `text` as a new memo at the end of the file (never where the
  // header's next-free word or a free chain points) and returns its first
  // block; the next-free word then names the block after the file. With
  // `shared` the memo lock byte is taken first (11 attempts). `operation`
  // names the caller in error details. On failure the file is left as before.
  std::uint32_t add(const std::string& text, bool shared, const std::string& operation);
  // Creates an empty memo file of this one's layout and block size (its
  // header copied, the next free block set to the first after it), for a
  // pack. Returns 0 or errno.
  int createEmptyCopy(const std::string& path) const;
  std::int64_t size() const { return m_file.size(); }

 private:
  // Reads up to `size` bytes and tells how many; a failed read is the read
  // error of the storage layer.
  std::size_t readSome(std::int64_t offset, void* buffer, std::size_t size) const;
  std::string readToEnd(std::int64_t offset, std::int64_t limit, bool stopAtEof) const;
  std::string encodeMemo(const std::string& text) const;
  std::uint32_t firstUsableBlock() const;
  void lock(const std::string& operation);
  void unlock(const std::string& operation);

  OsFile m_file;
  std::string m_path;
  MemoLayout m_layout = MemoLayout::None;
  std::uint32_t m_blockSize = 512;
};

}  // namespace kestrel
