#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "dbase/IndexKey.h"
#include "dbase/MdxFormat.h"
#include "dbase/MdxReader.h"
#include "dbase/OsFile.h"

namespace kestrel {

// Keeps the tag of an open index file up to date while its table changes:
// an appended record's key is inserted, a rewritten record's key moved. A
// full node is split in two, the original page keeping the upper half, so
// that the key its parent holds for it stays right; a split root gets a new
// root above it. New nodes go at the end of the file.
//
// Branch keys are upper bounds of their child's keys. Removing an entry
// leaves them as they are (still upper bounds) and never merges nodes; an
// emptied leaf simply stays empty, which every walk passes over.
class MdxUpdater {
 public:
  // Opens the file for reading and writing and loads the tag (empty name:
  // the first tag). IndexError 222 as MdxReader.
  explicit MdxUpdater(const std::string& path, const std::string& tagName = {});
  ~MdxUpdater();
  MdxUpdater(const MdxUpdater&) = delete;
  MdxUpdater& operator=(const MdxUpdater&) = delete;

  const IndexKey& key() const { return m_key; }

  // Requires: key has key().length() bytes. An entry already in the tag is
  // left as it is.
  void insert(const unsigned char* key, std::uint32_t recNo);
  // Removes the entry; IndexError 222 when it is not there.
  void remove(const unsigned char* key, std::uint32_t recNo);
  // A rewritten record: its old key goes, its new one comes.
  void replace(const unsigned char* oldKey, const unsigned char* newKey, std::uint32_t recNo);

 private:
  struct Node {
    std::uint32_t page = 0;
    std::uint32_t count = 0;
    bool leaf = true;
    std::array<unsigned char, mdx::kNodeSize> bytes{};
    unsigned char* entry(std::size_t i, std::size_t length) {
      return bytes.data() + mdx::kNodeEntries + i * length;
    }
  };

  void insertEntry(const unsigned char* key, std::uint32_t recNo);
  Node readNode(std::uint32_t page) const;
  void writeNode(const Node& node);
  // Writes all bytes or throws the write error.
  void writeAt(std::uint64_t offset, const unsigned char* data, std::size_t size);
  std::uint32_t allocatePage();
  // The child of a branch where (key, recNo) belongs.
  std::size_t chooseChild(Node& branch, const unsigned char* key, std::uint32_t recNo) const;
  // Whether a subtree's last entry sorts at or after (key, recNo).
  bool reachesUpTo(std::uint32_t page, const unsigned char* key, std::uint32_t recNo) const;
  std::vector<Node> descend(const unsigned char* key, std::uint32_t recNo) const;
  void setRoot(std::uint32_t page);
  void writeHeaderPageCount();
  [[noreturn]] void corrupt(const std::string& what) const;

  std::string m_path;
  OsFile m_file;
  IndexKey m_key{KeyType::Character, 1};
  std::size_t m_entryLength = 0;
  std::size_t m_maxKeys = 0;
  std::uint32_t m_tagHeaderPage = 0;
  std::uint32_t m_root = 0;
  std::uint64_t m_fileSize = 0;
};

}  // namespace kestrel
