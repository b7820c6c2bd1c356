#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "dbase/IndexKey.h"
#include "dbase/MdxFormat.h"
#include "dbase/OsFile.h"

namespace kestrel {

class ExternalSort;

// Writes an index file holding one tag, bottom-up in one sequential pass:
// the caller hands over the (key, record number) pairs in order and says in
// advance how many there are, which fixes the shape of the tree, so each
// node is written once, as soon as it is complete, and the root last. Only
// the finished header is written back to the file's start.
//
// Usage: MdxWriter w(path, "REPORT3", today);   // the empty 2048-byte file
//        w.beginTag(key, "rdate", count);
//        w.add(...) count times, in order;  w.finish();
class MdxWriter {
 public:
  static constexpr const char* kDefaultTagName = "DUMMY_TAG";

  // Erases a file of that name and creates it anew: header and tag table,
  // no tag yet. Throws IndexError (an OS error) when the file cannot be made.
  MdxWriter(const std::string& path, const std::string& tableName, const mdx::MdxDate& today);
  // Writes into `file`, open for reading and writing (the index file a
  // table has claimed, named `path` in error details): cut to nothing, then
  // as above. The file stays open, and must outlive the writer.
  MdxWriter(OsFile& file, const std::string& path, const std::string& tableName,
            const mdx::MdxDate& today);
  ~MdxWriter();
  MdxWriter(const MdxWriter&) = delete;
  MdxWriter& operator=(const MdxWriter&) = delete;

  // Starts the file's one tag. keyCount is exactly the number of add() calls
  // that follow. Throws IndexError 300 for an expression that is too long.
  void beginTag(const IndexKey& key, const std::string& expression, std::uint64_t keyCount,
                const std::string& tagName = kDefaultTagName);
  // Requires: entries come in index order (key, then record number);
  // std::logic_error otherwise, or for more entries than announced.
  void add(const unsigned char* key, std::uint32_t recNo);
  // Writes the last nodes, the tag header, the tag entry and the header.
  void finish();

  // Sorted pairs straight from a finished sorter into a new file.
  static void writeSorted(const std::string& path, const std::string& tableName,
                          const mdx::MdxDate& today, const IndexKey& key,
                          const std::string& expression, ExternalSort& sorted);

  // Refuses an expression the tag header cannot hold (IndexError 300).
  static void checkExpression(const std::string& expression);
  // Nodes on each level for this many keys, leaves first, root last.
  static std::vector<std::uint64_t> nodesPerLevel(std::uint64_t keyCount, std::size_t entryLength);
  // Disk space a build needs: every entry, plus a node for each node on every
  // level and one for the tag header.
  static std::uint64_t neededDiskSpace(std::uint64_t keyCount, std::size_t entryLength);
  // IndexError 227 when freeBytes is less than the build needs.
  static void checkDiskSpace(std::uint64_t freeBytes, std::uint64_t keyCount,
                             std::size_t entryLength);

 private:
  struct Level {
    std::uint64_t nodes = 0;  // planned on this level
    std::uint64_t base = 0;   // items (entries or children) per node...
    std::uint64_t extra = 0;  // ...plus one for the first `extra` nodes
    std::uint64_t index = 0;  // node being filled
    std::size_t items = 0;    // items in it so far
    std::array<unsigned char, mdx::kNodeSize> node{};
    std::uint64_t target() const { return base + (index < extra ? 1 : 0); }
  };

  std::uint32_t emitNode(const unsigned char* node);
  void addChild(std::size_t level, const unsigned char* highestKey, std::uint32_t page);
  void flush();
  void writeAt(std::uint64_t offset, const unsigned char* data, std::size_t size);

  void start(const std::string& tableName, const mdx::MdxDate& today);

  std::string m_path;
  OsFile m_ownFile;  // the file made by path
  OsFile* m_file = &m_ownFile;
  mdx::MdxHeader m_header;
  IndexKey m_key{KeyType::Character, 1};
  std::string m_expression;
  std::string m_tagName;
  std::size_t m_entryLength = 0;
  std::uint64_t m_expected = 0;
  std::uint64_t m_added = 0;
  bool m_begun = false;
  std::vector<Level> m_levels;
  std::vector<unsigned char> m_previous;  // last key added, for the order check
  std::uint32_t m_previousRecNo = 0;
  std::uint32_t m_nextPage = mdx::kFirstNodePage;
  std::uint32_t m_rootPage = 0;
  std::vector<unsigned char> m_out;  // nodes not yet written
  std::uint64_t m_outOffset = mdx::kHeaderSize;
};

}  // namespace kestrel
