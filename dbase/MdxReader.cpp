#include "dbase/MdxReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "dbase/AsciiText.h"
#include "dbase/IndexError.h"
#include "dbase/MessagePath.h"

namespace kestrel {

namespace {
// Deeper than any real tree: a billion keys at the smallest fan-out of a
// 100-byte key still need fewer than 16 levels.
constexpr std::size_t kMaxDepth = 32;
}  // namespace

MdxReader::MdxReader(const std::string& path, const std::string& tagName) : m_path(path) {
  if (m_file.open(path, OsFile::Access::ReadOnly) != 0) {
    throw IndexError(IndexError::kCorruptedIndex, "Unable to open index: " + messagePath(path));
  }
  openFile(tagName);
}

MdxReader::MdxReader(OsFile file, const std::string& path, const std::string& tagName)
    : m_path(path), m_file(std::move(file)) {
  openFile(tagName);
}

void MdxReader::openFile(const std::string& tagName) {
  const std::int64_t size = m_file.size();
  if (size < 0) {
    m_file.close();
    throw IndexError(IndexError::kCorruptedIndex, "Unable to open index: " + messagePath(m_path));
  }
  m_fileSize = static_cast<std::uint64_t>(size);
  open(tagName);
}

MdxReader::MdxReader(std::span<const unsigned char> bytes, const std::string& name,
                     const std::string& tagName)
    : m_path(name), m_memory(bytes), m_fileSize(bytes.size()) {
  open(tagName);
}

MdxReader::~MdxReader() = default;

void MdxReader::readAt(std::uint64_t offset, unsigned char* out, std::size_t size) const {
  // Callers have checked offset + size against the file size.
  if (!m_file.isOpen()) {
    std::memcpy(out, m_memory.data() + offset, size);
    return;
  }
  std::size_t got = 0;
  if (int error = m_file.readAt(static_cast<std::int64_t>(offset), out, size, got)) {
    throw IndexError::fromErrno(error, messagePath(m_path) + " [ReadIndex]");
  }
  if (got != size) corrupt("file shorter than expected");  // shrunk while open
}

void MdxReader::corrupt(const std::string& what) const {
  throw IndexError(IndexError::kCorruptedIndex,
                   "Invalid dBASE key expression or corrupted index file " + messagePath(m_path) +
                       " (" + what + ")");
}

void MdxReader::checkPage(std::uint32_t page, const char* what) const {
  // A node or tag header is two whole pages after the file header.
  if (page < mdx::kFirstNodePage || mdx::pageOffset(page) + mdx::kNodeSize > m_fileSize)
    corrupt(std::string(what) + " page " + std::to_string(page) + " outside the file");
}

void MdxReader::open(const std::string& tagName) {
  if (m_fileSize < mdx::kHeaderSize)
    throw IndexError(IndexError::kCorruptedIndex, "Unable to open index: " + messagePath(m_path));
  std::array<unsigned char, mdx::kHeaderSize> bytes{};
  readAt(0, bytes.data(), bytes.size());
  m_header = mdx::decodeHeader(bytes);
  // The geometry fields decide every offset; a file that disagrees with the
  // layout this reader knows is not read at all.
  if (m_header.pagesPerNode != mdx::kPagesPerNode || m_header.nodeBytes != mdx::kNodeSize ||
      m_header.tagEntryLength != mdx::kTagEntrySize)
    throw IndexError(IndexError::kCorruptedIndex, "Unable to open index: " + messagePath(m_path));
  if (m_header.tagCount == 0 || m_header.tagCount > mdx::kTagSlots) corrupt("tag count");

  const std::string wanted = asciiUpper(tagName);
  bool found = false;
  for (std::size_t k = 0; k < m_header.tagCount && !found; ++k) {
    const auto entry = mdx::decodeTagEntry(std::span<const unsigned char, mdx::kTagEntrySize>(
        bytes.data() + mdx::kTagTableOffset + k * mdx::kTagEntrySize, mdx::kTagEntrySize));
    if (wanted.empty() || asciiUpper(entry.name) == wanted) {
      m_entry = entry;
      found = true;
    }
  }
  if (!found) corrupt("no tag " + wanted);

  checkPage(m_entry.headerPage, "tag header");
  std::array<unsigned char, mdx::kNodeSize> tagBytes{};
  readAt(mdx::pageOffset(m_entry.headerPage), tagBytes.data(), tagBytes.size());
  m_tag = mdx::decodeTagHeader(tagBytes);
  const auto type = keyTypeFromLetter(m_tag.keyType);
  if (!type) corrupt("key type");
  if (m_tag.keyLength < mdx::kMinKeyLength || m_tag.keyLength > mdx::kMaxKeyLength)
    corrupt("key length");
  if ((*type == KeyType::Date && m_tag.keyLength != IndexKey::kDateLength) ||
      (*type == KeyType::Numeric && m_tag.keyLength != IndexKey::kNumericLength))
    corrupt("key length for its type");
  if (m_tag.entryLength != mdx::entryLength(m_tag.keyLength)) corrupt("entry length");
  if (m_tag.keyFormat & mdx::kKeyFormatDescending) corrupt("descending tag");
  checkPage(m_tag.rootPage, "root");
  m_key = IndexKey(*type, m_tag.keyLength);
  m_keyBytes.assign(m_tag.keyLength, 0);
  m_previousKey.assign(m_tag.keyLength, 0);
}

std::uint32_t MdxReader::childPage(const Frame& frame, std::uint32_t i) const {
  return mdx::getLe32(frame.bytes.data() + mdx::kNodeEntries + i * m_tag.entryLength);
}

void MdxReader::push(std::uint32_t page) {
  checkPage(page, "node");
  if (m_stack.size() >= kMaxDepth) corrupt("tree too deep");
  const std::size_t slot = page / mdx::kPagesPerNode;
  if (m_visited[slot]) corrupt("node page " + std::to_string(page) + " reached twice");
  m_visited[slot] = true;

  Frame& frame = m_stack.emplace_back();
  frame.page = page;
  readAt(mdx::pageOffset(page), frame.bytes.data(), frame.bytes.size());
  const std::uint32_t count = mdx::getLe32(frame.bytes.data() + mdx::kNodeKeyCount);
  if (count > mdx::maxKeysPerNode(m_tag.entryLength))
    corrupt("key count " + std::to_string(count) + " at page " + std::to_string(page));
  frame.count = count;
  // After the last entry a branch keeps its last child, a leaf 0.
  frame.leaf = childPage(frame, count) == 0;
  frame.position = 0;
}

// Moves from the current stack to the next entry in order: down the leftmost
// path of unvisited children, up past exhausted nodes.
void MdxReader::settle() {
  while (!m_stack.empty()) {
    Frame& top = m_stack.back();
    if (top.leaf) {
      if (top.position < top.count) break;
    } else if (top.position <= top.count) {
      const std::uint32_t child = childPage(top, top.position);
      ++top.position;
      push(child);
      continue;
    }
    m_stack.pop_back();
  }
  if (m_stack.empty()) {
    m_eof = true;
    return;
  }
  const Frame& leaf = m_stack.back();
  const unsigned char* entry =
      leaf.bytes.data() + mdx::kNodeEntries + leaf.position * m_tag.entryLength;
  m_recNo = mdx::getLe32(entry);
  std::memcpy(m_keyBytes.data(), entry + 4, m_keyBytes.size());
  if (m_recNo == 0) corrupt("record number 0 at page " + std::to_string(leaf.page));
  if (m_havePrevious &&
      m_key.compareEntries(m_previousKey.data(), m_previousRecNo, m_keyBytes.data(), m_recNo) >= 0)
    corrupt("entries out of order at page " + std::to_string(leaf.page));
  m_havePrevious = true;
  m_previousKey = m_keyBytes;
  m_previousRecNo = m_recNo;
  m_eof = false;
}

void MdxReader::First() {
  if (m_file.isOpen()) {
    // The index may have grown and got a new root since the last walk
    // (an append through MdxUpdater on the same file).
    const std::int64_t size = m_file.size();
    if (size < 0) throw IndexError::fromErrno(EIO, messagePath(m_path) + " [ReadIndex]");
    m_fileSize = static_cast<std::uint64_t>(size);
    unsigned char root[4];
    readAt(mdx::pageOffset(m_entry.headerPage) + mdx::kThRootPage, root, sizeof root);
    m_tag.rootPage = mdx::getLe32(root);
  }
  m_stack.clear();
  m_visited.assign(static_cast<std::size_t>(m_fileSize / mdx::kNodeSize + 1), false);
  m_havePrevious = false;
  m_eof = false;
  push(m_tag.rootPage);
  settle();
}

void MdxReader::Next() {
  if (m_eof) return;
  ++m_stack.back().position;
  settle();
}

}  // namespace kestrel
