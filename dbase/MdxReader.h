#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "dbase/IndexKey.h"
#include "dbase/MdxFormat.h"
#include "dbase/OsFile.h"

namespace kestrel {

// Reads one tag of an index file and visits its entries in key order (equal
// keys by record number) with First/Next/Eof. The file is outside input:
// every count, length and page number is checked against the file's real
// size before it is used, each node may be reached only once per walk (so a
// cycle or a shared child cannot loop or repeat), and the entries must come
// out in order. Anything else is IndexError 222.
class MdxReader {
 public:
  // Opens the file read-only and loads the tag of that name (upper case;
  // empty: the first tag).
  explicit MdxReader(const std::string& path, const std::string& tagName = {});
  // Reads through `file`, already open (the index file a table built and
  // holds, named `path` in error details), and keeps it open.
  MdxReader(OsFile file, const std::string& path, const std::string& tagName = {});
  // The same over a file image in memory (for the fuzzer); bytes must
  // outlive the reader.
  MdxReader(std::span<const unsigned char> bytes, const std::string& name,
            const std::string& tagName = {});
  ~MdxReader();
  MdxReader(const MdxReader&) = delete;
  MdxReader& operator=(const MdxReader&) = delete;

  const mdx::MdxHeader& header() const { return m_header; }
  const mdx::MdxTagEntry& tagEntry() const { return m_entry; }
  const mdx::MdxTagHeader& tagHeader() const { return m_tag; }
  const IndexKey& key() const { return m_key; }

  // To the smallest entry; Eof() at once for an empty tag. Each call starts
  // from the tag's current root, so a walk after an update sees it.
  void First();
  // To the next entry; Eof() after the last. Requires: !Eof().
  void Next();
  // Whether Next stays in the leaf already read, touching no file.
  bool nextIsInLeaf() const {
    return !m_eof && !m_stack.empty() && m_stack.back().leaf &&
           m_stack.back().position + 1 < m_stack.back().count;
  }
  bool Eof() const { return m_eof; }
  // The current entry's physical record number and key bytes.
  // Requires: !Eof().
  std::uint32_t RecNo() const { return m_recNo; }
  const unsigned char* currentKey() const { return m_keyBytes.data(); }

 private:
  struct Frame {
    std::uint32_t page = 0;
    std::uint32_t count = 0;  // keys in the node
    bool leaf = true;
    std::uint32_t position = 0;  // entry (leaf) or child (branch) being visited
    std::array<unsigned char, mdx::kNodeSize> bytes{};
  };

  // The file's size, then open().
  void openFile(const std::string& tagName);
  void open(const std::string& tagName);
  void readAt(std::uint64_t offset, unsigned char* out, std::size_t size) const;
  [[noreturn]] void corrupt(const std::string& what) const;
  void checkPage(std::uint32_t page, const char* what) const;
  void push(std::uint32_t page);
  void settle();
  std::uint32_t childPage(const Frame& frame, std::uint32_t i) const;

  std::string m_path;
  OsFile m_file;  // closed when the reader walks bytes in memory
  std::span<const unsigned char> m_memory;
  std::uint64_t m_fileSize = 0;
  mdx::MdxHeader m_header;
  mdx::MdxTagEntry m_entry;
  mdx::MdxTagHeader m_tag;
  IndexKey m_key{KeyType::Character, 1};

  std::vector<Frame> m_stack;
  std::vector<bool> m_visited;  // by page, reset on First()
  bool m_eof = true;
  bool m_havePrevious = false;
  std::uint32_t m_recNo = 0;
  std::vector<unsigned char> m_keyBytes;
  std::vector<unsigned char> m_previousKey;
  std::uint32_t m_previousRecNo = 0;
};

}  // namespace kestrel
