#include "dbase/MdxFormat.h"

#include <algorithm>

#include "dbase/AsciiText.h"

namespace kestrel::mdx {

namespace {

void putDate(unsigned char* p, const MdxDate& d) {
  p[0] = static_cast<unsigned char>(std::clamp(d.year - 1900, 0, 255));
  p[1] = static_cast<unsigned char>(d.month);
  p[2] = static_cast<unsigned char>(d.day);
}

MdxDate getDate(const unsigned char* p) {
  return MdxDate{1900 + p[0], p[1], p[2]};
}

// Text of a 0x00-ended field of at most `size` bytes; `size` - 1 are written
// so that the terminator always fits.
void putText(unsigned char* p, std::size_t size, const std::string& text) {
  std::copy_n(text.begin(), std::min(text.size(), size - 1), p);
}

std::string getText(const unsigned char* p, std::size_t size) {
  const auto* end = std::find(p, p + size, 0);
  return std::string(p, end);
}

}  // namespace

MdxTagHeader makeTagHeader(KeyType type, std::size_t keyLength, const std::string& expression,
                           std::uint32_t rootPage) {
  MdxTagHeader tag;
  tag.rootPage = rootPage;
  tag.keyFormat = kKeyFormatAscending;
  tag.keyType = static_cast<char>(type);
  tag.keyLength = static_cast<std::uint16_t>(keyLength);
  tag.entryLength = static_cast<std::uint16_t>(entryLength(keyLength));
  tag.maxKeys = static_cast<std::uint16_t>(maxKeysPerNode(tag.entryLength));
  tag.dateFlag = type == KeyType::Date ? 1 : 0;
  tag.unique = 0;
  tag.expression = expression;
  return tag;
}

void encodeHeader(const MdxHeader& h, std::span<unsigned char, kHeaderSize> out) {
  unsigned char* p = out.data();
  p[kHdrVersion] = kVersion;
  putDate(p + kHdrCreated, h.created);
  putText(p + kHdrTableName, kHdrTableNameSize, h.tableName);
  putLe16(p + kHdrPagesPerNode, kPagesPerNode);
  putLe16(p + kHdrNodeBytes, kNodeSize);
  p[kHdrProduction] = kProductionFlag;
  p[kHdrMaxTags] = kMaxTags;
  putLe16(p + kHdrTagEntryLength, kTagEntrySize);
  p[kHdrTagCount] = h.tagCount;
  putLe32(p + kHdrPageCount, h.pageCount);
  putDate(p + kHdrUpdated, h.updated);
}

MdxHeader decodeHeader(std::span<const unsigned char, kHeaderSize> in) {
  const unsigned char* p = in.data();
  MdxHeader h;
  h.version = p[kHdrVersion];
  h.created = getDate(p + kHdrCreated);
  h.tableName = getText(p + kHdrTableName, kHdrTableNameSize);
  h.pagesPerNode = getLe16(p + kHdrPagesPerNode);
  h.nodeBytes = getLe16(p + kHdrNodeBytes);
  h.tagEntryLength = getLe16(p + kHdrTagEntryLength);
  h.tagCount = p[kHdrTagCount];
  h.pageCount = getLe32(p + kHdrPageCount);
  h.updated = getDate(p + kHdrUpdated);
  return h;
}

void encodeTagEntry(const MdxTagEntry& e, std::span<unsigned char, kTagEntrySize> out) {
  unsigned char* p = out.data();
  putLe32(p + kTagHeaderPage, e.headerPage);
  putText(p + kTagName, kTagNameSize, asciiUpper(e.name));
  p[kTagMarker] = kTagMarkerValue;
  p[kTagKeyType] = static_cast<unsigned char>(e.keyType);
}

MdxTagEntry decodeTagEntry(std::span<const unsigned char, kTagEntrySize> in) {
  const unsigned char* p = in.data();
  MdxTagEntry e;
  e.headerPage = getLe32(p + kTagHeaderPage);
  e.name = getText(p + kTagName, kTagNameSize);
  e.keyType = static_cast<char>(p[kTagKeyType]);
  return e;
}

void encodeTagHeader(const MdxTagHeader& t, std::span<unsigned char, kNodeSize> out) {
  unsigned char* p = out.data();
  putLe32(p + kThRootPage, t.rootPage);
  p[kThKeyFormat] = t.keyFormat;
  p[kThKeyType] = static_cast<unsigned char>(t.keyType);
  putLe16(p + kThKeyLength, t.keyLength);
  putLe16(p + kThMaxKeys, t.maxKeys);
  putLe16(p + kThDateFlag, t.dateFlag);
  putLe16(p + kThEntryLength, t.entryLength);
  p[kThUnique] = t.unique;
  putText(p + kThExpression, kMaxExpressionLength + 1, t.expression);
}

MdxTagHeader decodeTagHeader(std::span<const unsigned char, kNodeSize> in) {
  const unsigned char* p = in.data();
  MdxTagHeader t;
  t.rootPage = getLe32(p + kThRootPage);
  t.keyFormat = p[kThKeyFormat];
  t.keyType = static_cast<char>(p[kThKeyType]);
  t.keyLength = getLe16(p + kThKeyLength);
  t.maxKeys = getLe16(p + kThMaxKeys);
  t.dateFlag = getLe16(p + kThDateFlag);
  t.entryLength = getLe16(p + kThEntryLength);
  t.unique = p[kThUnique];
  t.expression = getText(p + kThExpression, kMaxExpressionLength + 1);
  return t;
}

}  // namespace kestrel::mdx
