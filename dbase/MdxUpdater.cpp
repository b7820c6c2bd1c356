#include "dbase/MdxUpdater.h"

#include <cerrno>
#include <cstring>

#include "dbase/IndexError.h"
#include "dbase/MessagePath.h"

namespace kestrel {

namespace {
constexpr std::size_t kMaxDepth = 32;
}

MdxUpdater::MdxUpdater(const std::string& path, const std::string& tagName) : m_path(path) {
  {
    // The reader checks the header and the tag once, as for any open.
    MdxReader reader(path, tagName);
    m_key = reader.key();
    m_entryLength = reader.tagHeader().entryLength;
    m_maxKeys = mdx::maxKeysPerNode(m_entryLength);
    m_tagHeaderPage = reader.tagEntry().headerPage;
    m_root = reader.tagHeader().rootPage;
  }
  const std::int64_t size =
      m_file.open(path, OsFile::Access::ReadWrite) == 0 ? m_file.size() : std::int64_t{-1};
  if (size < 0) {
    m_file.close();
    throw IndexError(IndexError::kCorruptedIndex, "Unable to open index: " + messagePath(path));
  }
  m_fileSize = static_cast<std::uint64_t>(size);
}

MdxUpdater::~MdxUpdater() = default;

void MdxUpdater::corrupt(const std::string& what) const {
  throw IndexError(IndexError::kCorruptedIndex,
                   "Invalid dBASE key expression or corrupted index file " + messagePath(m_path) +
                       " (" + what + ")");
}

MdxUpdater::Node MdxUpdater::readNode(std::uint32_t page) const {
  if (page < mdx::kFirstNodePage || mdx::pageOffset(page) + mdx::kNodeSize > m_fileSize)
    corrupt("node page " + std::to_string(page) + " outside the file");
  Node node;
  node.page = page;
  std::size_t got = 0;
  const int error = m_file.readAt(static_cast<std::int64_t>(mdx::pageOffset(page)),
                                  node.bytes.data(), node.bytes.size(), got);
  if (error != 0 || got != node.bytes.size()) {
    throw IndexError::fromErrno(error != 0 ? error : EIO, messagePath(m_path) + " [UpdateIndex]");
  }
  node.count = mdx::getLe32(node.bytes.data() + mdx::kNodeKeyCount);
  if (node.count > m_maxKeys) corrupt("key count at page " + std::to_string(page));
  node.leaf = mdx::getLe32(node.entry(node.count, m_entryLength)) == 0;
  return node;
}

void MdxUpdater::writeNode(const Node& node) {
  writeAt(mdx::pageOffset(node.page), node.bytes.data(), node.bytes.size());
  m_fileSize = std::max(m_fileSize, mdx::pageOffset(node.page) + mdx::kNodeSize);
}

std::uint32_t MdxUpdater::allocatePage() {
  const std::uint64_t page = (m_fileSize + mdx::kPageSize - 1) / mdx::kPageSize;
  if (page > UINT32_MAX - mdx::kPagesPerNode)
    throw IndexError(IndexError::kNoDiskSpace, messagePath(m_path));
  return static_cast<std::uint32_t>(page);
}

bool MdxUpdater::reachesUpTo(std::uint32_t page, const unsigned char* key,
                             std::uint32_t recNo) const {
  // Down the last children to the subtree's last leaf; an empty last leaf
  // holds nothing that could reach the entry.
  for (std::size_t depth = 0; depth < kMaxDepth; ++depth) {
    Node node = readNode(page);
    if (!node.leaf) {
      page = mdx::getLe32(node.entry(node.count, m_entryLength));
      continue;
    }
    if (node.count == 0) return false;
    unsigned char* last = node.entry(node.count - 1, m_entryLength);
    return m_key.compareEntries(last + 4, mdx::getLe32(last), key, recNo) >= 0;
  }
  corrupt("tree too deep");
}

std::size_t MdxUpdater::chooseChild(Node& branch, const unsigned char* key,
                                    std::uint32_t recNo) const {
  // Branch key i bounds child i from above. Equal keys may run on over
  // several children, ordered by record number: only then does the child's
  // own last entry decide.
  for (std::size_t i = 0; i < branch.count; ++i) {
    unsigned char* entry = branch.entry(i, m_entryLength);
    const int c = m_key.compare(entry + 4, key);
    if (c > 0) return i;
    if (c == 0 && reachesUpTo(mdx::getLe32(entry), key, recNo)) return i;
  }
  return branch.count;
}

std::vector<MdxUpdater::Node> MdxUpdater::descend(const unsigned char* key,
                                                  std::uint32_t recNo) const {
  std::vector<Node> path;
  path.push_back(readNode(m_root));
  while (!path.back().leaf) {
    if (path.size() >= kMaxDepth) corrupt("tree too deep");
    Node& branch = path.back();
    const std::size_t i = chooseChild(branch, key, recNo);
    const std::uint32_t child = mdx::getLe32(branch.entry(i, m_entryLength));
    // Remember which slot we came down through, in the unused spare word.
    mdx::putLe32(branch.bytes.data() + mdx::kNodeSpare, static_cast<std::uint32_t>(i));
    path.push_back(readNode(child));
  }
  return path;
}

void MdxUpdater::insert(const unsigned char* key, std::uint32_t recNo) {
  const std::uint64_t sizeBefore = m_fileSize;
  insertEntry(key, recNo);
  if (m_fileSize != sizeBefore) writeHeaderPageCount();
}

void MdxUpdater::insertEntry(const unsigned char* key, std::uint32_t recNo) {
  std::vector<Node> path = descend(key, recNo);
  const std::size_t k = m_key.length();

  // Into the leaf at its place in order.
  Node& leaf = path.back();
  std::size_t at = 0;
  while (at < leaf.count) {
    unsigned char* e = leaf.entry(at, m_entryLength);
    const int c = m_key.compareEntries(e + 4, mdx::getLe32(e), key, recNo);
    if (c == 0) return;  // already there: the index holds each entry once
    if (c > 0) break;
    ++at;
  }
  std::vector<unsigned char> item(m_entryLength, 0);
  mdx::putLe32(item.data(), recNo);
  std::memcpy(item.data() + 4, key, k);

  // Walking up: put `item` at slot `at` of the node; split it when full.
  for (std::size_t level = path.size(); level-- > 0;) {
    Node& node = path[level];
    const bool leafNode = node.leaf;
    // Entries plus, for a branch, one more slot holding just the extra
    // child pointer (its key bytes would not fit a full node).
    std::vector<unsigned char> all(node.entry(0, m_entryLength),
                                   node.entry(node.count, m_entryLength));
    if (!leafNode) {
      all.resize(all.size() + m_entryLength, 0);
      std::memcpy(all.data() + node.count * m_entryLength, node.entry(node.count, m_entryLength),
                  4);
    }
    all.insert(all.begin() + static_cast<std::ptrdiff_t>(at * m_entryLength), item.begin(),
               item.end());
    const std::size_t keys = node.count + 1;
    const auto fill = [&](Node& target, std::size_t from, std::size_t count, bool withExtra) {
      std::fill(target.bytes.begin() + mdx::kNodeEntries, target.bytes.end(), 0);
      // A branch's extra slot takes only the child page.
      const std::size_t bytes = count * m_entryLength + (withExtra ? 4 : 0);
      std::memcpy(target.entry(0, m_entryLength), all.data() + from * m_entryLength, bytes);
      mdx::putLe32(target.bytes.data() + mdx::kNodeKeyCount, static_cast<std::uint32_t>(count));
      mdx::putLe32(target.bytes.data() + mdx::kNodeSpare, 0);
    };
    if (keys <= m_maxKeys) {
      fill(node, 0, keys, !leafNode);
      writeNode(node);
      return;
    }
    // Split: the lower half moves to a new page, the original page keeps
    // the upper half and with it the key its parent holds for it.
    const std::size_t lower = keys / 2;
    Node left;
    left.page = allocatePage();
    if (leafNode) {
      fill(left, 0, lower, false);
      fill(node, lower, keys - lower, false);
    } else {
      // The lower branch ends with child `lower`, whose key goes up; the
      // lower half keeps `lower` keys plus that child as its extra pointer.
      fill(left, 0, lower, true);
      fill(node, lower + 1, keys - lower - 1, true);
    }
    writeNode(left);
    writeNode(node);
    // The lower half's highest key is the last entry in it (leaf), or the key
    // stored with its last child (branch).
    const unsigned char* highest = all.data() + (leafNode ? lower - 1 : lower) * m_entryLength;
    mdx::putLe32(item.data(), left.page);
    std::memcpy(item.data() + 4, highest + 4, m_entryLength - 4);
    if (level == 0) {
      Node root;
      root.page = allocatePage();
      mdx::putLe32(root.bytes.data() + mdx::kNodeKeyCount, 1);
      std::memcpy(root.entry(0, m_entryLength), item.data(), m_entryLength);
      mdx::putLe32(root.entry(1, m_entryLength), node.page);
      writeNode(root);
      setRoot(root.page);
      return;
    }
    at = mdx::getLe32(path[level - 1].bytes.data() + mdx::kNodeSpare);
  }
}

void MdxUpdater::remove(const unsigned char* key, std::uint32_t recNo) {
  std::vector<Node> path = descend(key, recNo);
  Node& leaf = path.back();
  for (std::size_t i = 0; i < leaf.count; ++i) {
    unsigned char* e = leaf.entry(i, m_entryLength);
    if (mdx::getLe32(e) != recNo || m_key.compare(e + 4, key) != 0) continue;
    std::memmove(e, e + m_entryLength, (leaf.count - i - 1) * m_entryLength);
    --leaf.count;
    // The word after the last entry must read 0 for the node to stay a leaf.
    std::memset(leaf.entry(leaf.count, m_entryLength), 0, m_entryLength);
    mdx::putLe32(leaf.bytes.data() + mdx::kNodeKeyCount, leaf.count);
    writeNode(leaf);
    return;
  }
  corrupt("record " + std::to_string(recNo) + " not found");
}

void MdxUpdater::replace(const unsigned char* oldKey, const unsigned char* newKey,
                         std::uint32_t recNo) {
  if (m_key.compare(oldKey, newKey) == 0) return;
  remove(oldKey, recNo);
  insert(newKey, recNo);
}

void MdxUpdater::setRoot(std::uint32_t page) {
  m_root = page;
  unsigned char bytes[4];
  mdx::putLe32(bytes, page);
  writeAt(mdx::pageOffset(m_tagHeaderPage) + mdx::kThRootPage, bytes, sizeof bytes);
}

void MdxUpdater::writeHeaderPageCount() {
  // Once nodes lie past the tag header, the count is simply the pages in use.
  unsigned char bytes[4];
  mdx::putLe32(bytes, static_cast<std::uint32_t>(m_fileSize / mdx::kPageSize));
  writeAt(mdx::kHdrPageCount, bytes, sizeof bytes);
}

void MdxUpdater::writeAt(std::uint64_t offset, const unsigned char* data, std::size_t size) {
  if (int error = m_file.writeAt(static_cast<std::int64_t>(offset), data, size)) {
    throw IndexError::fromErrno(error, messagePath(m_path) + " [UpdateIndex]");
  }
}

}  // namespace kestrel
