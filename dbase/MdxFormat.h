#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "dbase/ByteOrder.h"
#include "dbase/KeyType.h"

// Byte layout of the dBASE IV multiple-index file (".MDX") as this program
// writes and reads it, shared by MdxWriter and MdxReader. dbase/MDX.md has the
// same layout as tables with the reasons for each value. Every record is
// encoded and decoded field by field in little-endian order; nothing is ever
// copied from disk into a struct.
namespace kestrel::mdx {

// Every pointer in the file is a page number; nodes and tag headers take two
// pages, the file header four.
inline constexpr std::size_t kPageSize = 512;
inline constexpr std::size_t kNodeSize = 1024;
inline constexpr std::uint32_t kPagesPerNode = 2;
inline constexpr std::size_t kHeaderSize = 2048;
inline constexpr std::uint32_t kFirstNodePage = kHeaderSize / kPageSize;  // 4

// File header (pages 0-3).
inline constexpr std::size_t kHdrVersion = 0;    // 1 byte: 2
inline constexpr std::size_t kHdrCreated = 1;    // 3 bytes: year - 1900, month, day
inline constexpr std::size_t kHdrTableName = 4;  // 16 bytes, 0x00-ended
inline constexpr std::size_t kHdrTableNameSize = 16;
inline constexpr std::size_t kHdrPagesPerNode = 20;    // 2 bytes: 2
inline constexpr std::size_t kHdrNodeBytes = 22;       // 2 bytes: 1024
inline constexpr std::size_t kHdrProduction = 24;      // 1 byte: 1
inline constexpr std::size_t kHdrMaxTags = 25;         // 1 byte: 48
inline constexpr std::size_t kHdrTagEntryLength = 26;  // 2 bytes: 32
inline constexpr std::size_t kHdrTagCount = 28;        // 1 byte
inline constexpr std::size_t kHdrPageCount = 32;       // 4 bytes
inline constexpr std::size_t kHdrUpdated = 44;         // 3 bytes, as kHdrCreated

inline constexpr std::uint8_t kVersion = 2;
inline constexpr std::uint8_t kProductionFlag = 1;
inline constexpr std::uint8_t kMaxTags = 48;
// Entries run from byte 544 to the end of the header: 47 of them fit.
inline constexpr std::size_t kTagTableOffset = 544;
inline constexpr std::size_t kTagEntrySize = 32;
inline constexpr std::size_t kTagSlots = (kHeaderSize - kTagTableOffset) / kTagEntrySize;

// Tag-table entry (32 bytes).
inline constexpr std::size_t kTagHeaderPage = 0;  // 4 bytes
inline constexpr std::size_t kTagName = 4;        // 11 bytes, upper case, 0x00-padded
inline constexpr std::size_t kTagNameSize = 11;
inline constexpr std::size_t kTagMarker = 19;   // 1 byte: 2
inline constexpr std::size_t kTagKeyType = 20;  // 1 byte: key type letter
inline constexpr std::uint8_t kTagMarkerValue = 2;

// Tag header (one node-sized block).
inline constexpr std::size_t kThRootPage = 0;      // 4 bytes
inline constexpr std::size_t kThKeyFormat = 8;     // 1 byte
inline constexpr std::size_t kThKeyType = 9;       // 1 byte
inline constexpr std::size_t kThKeyLength = 12;    // 2 bytes
inline constexpr std::size_t kThMaxKeys = 14;      // 2 bytes
inline constexpr std::size_t kThDateFlag = 16;     // 2 bytes
inline constexpr std::size_t kThEntryLength = 18;  // 2 bytes
inline constexpr std::size_t kThUnique = 23;       // 1 byte
inline constexpr std::size_t kThExpression = 24;   // up to 220 bytes, 0x00-ended
inline constexpr std::size_t kMaxExpressionLength = 220;
// Ascending, duplicates allowed.
inline constexpr std::uint8_t kKeyFormatAscending = 0x10;
inline constexpr std::uint8_t kKeyFormatDescending = 0x08;
inline constexpr std::uint8_t kKeyFormatUnique = 0x40;
inline constexpr std::size_t kMinKeyLength = 1;
inline constexpr std::size_t kMaxKeyLength = 100;

// Node (1024 bytes): a 4-byte key count, a 4-byte word nobody navigates by
// (written 0), then entries of a 4-byte record number (leaf) or child page
// (branch) followed by the key, zero-padded to the entry length. A branch has
// one more child page after its last entry; in a leaf that word is 0, which
// is how readers tell the two apart.
inline constexpr std::size_t kNodeKeyCount = 0;
inline constexpr std::size_t kNodeSpare = 4;
inline constexpr std::size_t kNodeEntries = 8;
// Room for entries plus the trailing child pointer.
inline constexpr std::size_t kNodeEntryRoom = kNodeSize - kNodeEntries - 4;  // 1012

// The index file is little-endian throughout, read and written with the
// storage layer's one set of byte-order helpers.
using dbf::getLe16;
using dbf::getLe32;
using dbf::putLe16;
using dbf::putLe32;

// Entry length: the key rounded up to a multiple of 4, plus the 4-byte pointer.
constexpr std::size_t entryLength(std::size_t keyLength) {
  return (keyLength + 3) / 4 * 4 + 4;
}
// Keys per node (leaf and branch alike; a branch also holds one more child).
constexpr std::size_t maxKeysPerNode(std::size_t entryLen) {
  return kNodeEntryRoom / entryLen;
}
constexpr std::uint64_t pageOffset(std::uint32_t page) {
  return static_cast<std::uint64_t>(page) * kPageSize;
}

struct MdxDate {
  int year = 1900;
  int month = 1;
  int day = 1;
};

struct MdxHeader {
  MdxDate created;
  std::string tableName;  // without folder and extension
  std::uint8_t tagCount = 0;
  std::uint32_t pageCount = 0;
  MdxDate updated;
  // Read back only; the writer always uses the fixed values above.
  std::uint8_t version = kVersion;
  std::uint16_t pagesPerNode = kPagesPerNode;
  std::uint16_t nodeBytes = kNodeSize;
  std::uint16_t tagEntryLength = kTagEntrySize;
};

struct MdxTagEntry {
  std::uint32_t headerPage = 0;
  std::string name;  // upper case
  char keyType = 'C';
};

struct MdxTagHeader {
  std::uint32_t rootPage = 0;
  std::uint8_t keyFormat = kKeyFormatAscending;
  char keyType = 'C';
  std::uint16_t keyLength = 0;
  std::uint16_t maxKeys = 0;
  std::uint16_t dateFlag = 0;
  std::uint16_t entryLength = 0;
  std::uint8_t unique = 0;
  std::string expression;
};

// The tag header of an ascending, non-unique tag over keys of this type and
// length, with the expression it was built from.
MdxTagHeader makeTagHeader(KeyType type, std::size_t keyLength, const std::string& expression,
                           std::uint32_t rootPage);

// Encoders write into a zero-filled buffer of the record's size and leave the
// bytes they do not own untouched (so every other byte stays 0).
void encodeHeader(const MdxHeader& header, std::span<unsigned char, kHeaderSize> out);
void encodeTagEntry(const MdxTagEntry& entry, std::span<unsigned char, kTagEntrySize> out);
void encodeTagHeader(const MdxTagHeader& tag, std::span<unsigned char, kNodeSize> out);

// Decoders take the record as found; they check nothing but the buffer size,
// which the type fixes. Validation is the reader's.
MdxHeader decodeHeader(std::span<const unsigned char, kHeaderSize> in);
MdxTagEntry decodeTagEntry(std::span<const unsigned char, kTagEntrySize> in);
MdxTagHeader decodeTagHeader(std::span<const unsigned char, kNodeSize> in);

}  // namespace kestrel::mdx
