#include "dbase/MdxWriter.h"

#include <cerrno>
#include <cstring>
#include <limits>
#include <stdexcept>

#include "dbase/ExternalSort.h"
#include "dbase/IndexError.h"
#include "dbase/MessagePath.h"

namespace kestrel {

namespace {
constexpr std::size_t kNodesPerWrite = 256;
constexpr std::uint64_t kKilobyte = 1024;

std::uint64_t divideUp(std::uint64_t a, std::uint64_t b) {
  return (a + b - 1) / b;
}
}  // namespace

MdxWriter::MdxWriter(const std::string& path, const std::string& tableName,
                     const mdx::MdxDate& today)
    : m_path(path) {
  if (int error = m_ownFile.create(path))
    throw IndexError::fromErrno(error, messagePath(path) + " [MakeIndex]");
  start(tableName, today);
}

MdxWriter::MdxWriter(OsFile& file, const std::string& path, const std::string& tableName,
                     const mdx::MdxDate& today)
    : m_path(path), m_file(&file) {
  // The table component has claimed the file for the build (no other
  // process reads it), so it is written over in place, through the
  // descriptor that holds the claim: the name may lead elsewhere by now.
  if (int error = m_file->truncate(0))
    throw IndexError::fromErrno(error, messagePath(path) + " [MakeIndex]");
  start(tableName, today);
}

void MdxWriter::start(const std::string& tableName, const mdx::MdxDate& today) {
  m_header.created = today;
  m_header.updated = today;
  m_header.tableName = tableName;
  m_header.tagCount = 0;
  m_header.pageCount = mdx::kFirstNodePage;
  std::array<unsigned char, mdx::kHeaderSize> bytes{};
  mdx::encodeHeader(m_header, bytes);
  writeAt(0, bytes.data(), bytes.size());
  m_out.reserve(kNodesPerWrite * mdx::kNodeSize);
}

MdxWriter::~MdxWriter() = default;

void MdxWriter::checkExpression(const std::string& expression) {
  if (expression.size() > mdx::kMaxExpressionLength)
    throw IndexError(IndexError::kExpressionTooLong,
                     "Expression length exceeds 100 bytes [AddIndexTag()]");
}

std::vector<std::uint64_t> MdxWriter::nodesPerLevel(std::uint64_t keyCount,
                                                    std::size_t entryLength) {
  const std::uint64_t maxKeys = mdx::maxKeysPerNode(entryLength);
  // An empty tag is one empty leaf; a branch holds maxKeys keys and one child more.
  std::vector<std::uint64_t> levels{std::max<std::uint64_t>(1, divideUp(keyCount, maxKeys))};
  while (levels.back() > 1) levels.push_back(divideUp(levels.back(), maxKeys + 1));
  return levels;
}

std::uint64_t MdxWriter::neededDiskSpace(std::uint64_t keyCount, std::size_t entryLength) {
  std::uint64_t nodes = 0;
  for (std::uint64_t n : nodesPerLevel(keyCount, entryLength)) nodes += n;
  return keyCount * entryLength + mdx::kNodeSize * (nodes + 1);
}

void MdxWriter::checkDiskSpace(std::uint64_t freeBytes, std::uint64_t keyCount,
                               std::size_t entryLength) {
  const std::uint64_t needed = neededDiskSpace(keyCount, entryLength);
  if (freeBytes >= needed) return;
  throw IndexError(IndexError::kNoDiskSpace,
                   "Available disk space: " + std::to_string(freeBytes / kKilobyte) + " KBytes;" +
                       "needed: " + std::to_string(divideUp(needed, kKilobyte)) +
                       " KBytes [MakeIndex]");
}

void MdxWriter::beginTag(const IndexKey& key, const std::string& expression, std::uint64_t keyCount,
                         const std::string& tagName) {
  if (m_begun) throw std::logic_error("MdxWriter: one tag per file");
  checkExpression(expression);
  m_begun = true;
  m_key = key;
  m_expression = expression;
  m_tagName = tagName;
  m_entryLength = mdx::entryLength(key.length());
  m_expected = keyCount;
  m_previous.assign(key.length(), 0);

  // Items are spread evenly over the nodes of a level, so that no node is
  // left nearly empty and no branch ends up without a key.
  const auto counts = nodesPerLevel(keyCount, m_entryLength);
  std::uint64_t items = keyCount;
  for (std::uint64_t nodes : counts) {
    Level level;
    level.nodes = nodes;
    level.base = items / nodes;
    level.extra = items % nodes;
    m_levels.push_back(level);
    items = nodes;
  }
}

void MdxWriter::flush() {
  if (m_out.empty()) return;
  writeAt(m_outOffset, m_out.data(), m_out.size());
  m_outOffset += m_out.size();
  m_out.clear();
}

void MdxWriter::writeAt(std::uint64_t offset, const unsigned char* data, std::size_t size) {
  if (int error = m_file->writeAt(static_cast<std::int64_t>(offset), data, size)) {
    throw IndexError::fromErrno(error, messagePath(m_path) + " [MakeIndex]");
  }
}

std::uint32_t MdxWriter::emitNode(const unsigned char* node) {
  if (m_nextPage > std::numeric_limits<std::uint32_t>::max() - 2 * mdx::kPagesPerNode)
    throw IndexError(IndexError::kNoDiskSpace,
                     messagePath(m_path) + " index too large [MakeIndex]");
  const std::uint32_t page = m_nextPage;
  m_nextPage += mdx::kPagesPerNode;
  m_out.insert(m_out.end(), node, node + mdx::kNodeSize);
  if (m_out.size() >= kNodesPerWrite * mdx::kNodeSize) flush();
  return page;
}

// A branch keeps, for every child but its last, the child's page and highest
// key; the last child's page follows as the extra pointer.
void MdxWriter::addChild(std::size_t index, const unsigned char* highestKey, std::uint32_t page) {
  Level& level = m_levels[index];
  unsigned char* slot = level.node.data() + mdx::kNodeEntries + level.items * m_entryLength;
  mdx::putLe32(slot, page);
  ++level.items;
  if (level.items < level.target()) {
    std::memcpy(slot + 4, highestKey, m_key.length());
    return;
  }
  mdx::putLe32(level.node.data() + mdx::kNodeKeyCount, static_cast<std::uint32_t>(level.items - 1));
  const std::uint32_t own = emitNode(level.node.data());
  level.node.fill(0);
  level.items = 0;
  ++level.index;
  if (index + 1 < m_levels.size())
    addChild(index + 1, highestKey, own);
  else
    m_rootPage = own;
}

void MdxWriter::add(const unsigned char* key, std::uint32_t recNo) {
  if (!m_begun || m_added == m_expected)
    throw std::logic_error("MdxWriter: more entries than announced");
  if (m_added > 0 && m_key.compareEntries(m_previous.data(), m_previousRecNo, key, recNo) >= 0)
    throw std::logic_error("MdxWriter: entries out of order");
  std::memcpy(m_previous.data(), key, m_key.length());
  m_previousRecNo = recNo;
  ++m_added;

  Level& leaf = m_levels[0];
  unsigned char* slot = leaf.node.data() + mdx::kNodeEntries + leaf.items * m_entryLength;
  mdx::putLe32(slot, recNo);
  std::memcpy(slot + 4, key, m_key.length());
  ++leaf.items;
  if (leaf.items < leaf.target()) return;
  // The word after the last entry stays 0: that marks the node a leaf.
  mdx::putLe32(leaf.node.data() + mdx::kNodeKeyCount, static_cast<std::uint32_t>(leaf.items));
  const std::uint32_t page = emitNode(leaf.node.data());
  leaf.node.fill(0);
  leaf.items = 0;
  ++leaf.index;
  if (m_levels.size() > 1)
    addChild(1, key, page);
  else
    m_rootPage = page;
}

void MdxWriter::finish() {
  if (!m_begun) throw std::logic_error("MdxWriter: no tag begun");
  if (m_added != m_expected) throw std::logic_error("MdxWriter: fewer entries than announced");
  if (m_expected == 0) m_rootPage = emitNode(m_levels[0].node.data());  // the empty root leaf

  const std::uint32_t tagHeaderPage = m_nextPage;
  std::array<unsigned char, mdx::kNodeSize> tagBytes{};
  mdx::encodeTagHeader(mdx::makeTagHeader(m_key.type(), m_key.length(), m_expression, m_rootPage),
                       tagBytes);
  m_out.insert(m_out.end(), tagBytes.begin(), tagBytes.end());
  flush();

  std::array<unsigned char, mdx::kHeaderSize> header{};
  m_header.tagCount = 1;
  // Pages in use before the tag header: the root's two pages end there.
  m_header.pageCount = m_rootPage + mdx::kPagesPerNode;
  mdx::encodeHeader(m_header, header);
  mdx::MdxTagEntry entry;
  entry.headerPage = tagHeaderPage;
  entry.name = m_tagName;
  entry.keyType = static_cast<char>(m_key.type());
  mdx::encodeTagEntry(entry, std::span<unsigned char, mdx::kTagEntrySize>(
                                 header.data() + mdx::kTagTableOffset, mdx::kTagEntrySize));
  writeAt(0, header.data(), header.size());
  m_ownFile.close();
}

void MdxWriter::writeSorted(const std::string& path, const std::string& tableName,
                            const mdx::MdxDate& today, const IndexKey& key,
                            const std::string& expression, ExternalSort& sorted) {
  MdxWriter writer(path, tableName, today);
  writer.beginTag(key, expression, sorted.size());
  const unsigned char* k = nullptr;
  std::uint32_t recNo = 0;
  while (sorted.next(k, recNo)) writer.add(k, recNo);
  writer.finish();
}

}  // namespace kestrel
