#pragma once

#include <cstddef>
#include <cstdint>

// Byte layouts of the table (.dbf) and memo (.DBT/.FPT) files, shared by every
// reader and writer. FORMAT.md beside this file shows the same values as tables.
namespace kestrel::dbf {

// --- Table header (dBASE III PLUS / IV; level 7 shares bytes 0-31) ---------
inline constexpr std::size_t kHeaderSize = 32;  // the fixed part every rewrite writes
inline constexpr std::size_t kVersionOffset = 0;
inline constexpr std::size_t kDateOffset = 1;  // year - 1900, month, day
inline constexpr std::size_t kRecordCountOffset = 4;
inline constexpr std::size_t kHeaderLengthOffset = 8;
inline constexpr std::size_t kRecordLengthOffset = 10;
// Bytes 16-27 belong to other programs (multi-user area, production index flag
// at 28 lies just past them); a header rewrite re-reads them from the file.
inline constexpr std::size_t kForeignAreaOffset = 16;
inline constexpr std::size_t kForeignAreaSize = 12;
inline constexpr std::size_t kProductionIndexOffset = 28;

inline constexpr std::size_t kDescriptorSize = 32;
inline constexpr std::size_t kDescriptorTypeOffset = 11;
inline constexpr std::size_t kDescriptorLengthOffset = 16;
inline constexpr std::size_t kDescriptorDecimalsOffset = 17;
inline constexpr std::size_t kNameFieldSize = 11;  // name plus at least one 0x00
inline constexpr std::size_t kMaxNameLength = 10;

inline constexpr unsigned char kDescriptorTerminator = 0x0D;
inline constexpr unsigned char kEndOfFile = 0x1A;
inline constexpr unsigned char kLiveFlag = ' ';
inline constexpr unsigned char kDeletedFlag = '*';

inline constexpr int kMinFields = 1;
inline constexpr int kMaxFields = 255;

// --- Version bytes ------------------------------------------------------------
inline constexpr unsigned char kVersionDbase3 = 0x03;
inline constexpr unsigned char kVersionDbase3Memo = 0x83;
inline constexpr unsigned char kVersionDbase4Memo = 0x8B;
inline constexpr unsigned char kVersionLevel7 = 0x04;
inline constexpr unsigned char kVersionLevel7Memo = 0x8C;
inline constexpr unsigned char kVersionFoxPro = 0xF5;
inline constexpr unsigned char kVersionDbase2 = 0x02;
inline constexpr unsigned char kMemoBit = 0x80;

// --- dBASE level 7 --------------------------------------------------------------
inline constexpr std::size_t kLevel7HeaderSize = 68;
inline constexpr std::size_t kLevel7DescriptorSize = 48;
inline constexpr std::size_t kLevel7NameSize = 32;
inline constexpr std::size_t kLevel7TypeOffset = 32;
inline constexpr std::size_t kLevel7LengthOffset = 33;
inline constexpr std::size_t kLevel7DecimalsOffset = 34;

// --- dBASE II -------------------------------------------------------------------
inline constexpr std::size_t kDbase2HeaderLength = 521;
inline constexpr std::size_t kDbase2CountOffset = 1;         // 16-bit
inline constexpr std::size_t kDbase2DateOffset = 3;          // month, day, year - 1900
inline constexpr std::size_t kDbase2RecordLengthOffset = 6;  // 16-bit
inline constexpr std::size_t kDbase2DescriptorsOffset = 8;
inline constexpr std::size_t kDbase2DescriptorSize = 16;
inline constexpr std::size_t kDbase2MaxFields = 32;
inline constexpr std::size_t kDbase2TypeOffset = 11;
inline constexpr std::size_t kDbase2LengthOffset = 12;
inline constexpr std::size_t kDbase2DecimalsOffset = 15;

// --- Field widths -------------------------------------------------------------
inline constexpr int kDateLength = 8;
inline constexpr int kLogicalLength = 1;
inline constexpr int kMemoLength = 10;
inline constexpr int kMaxCharLength = 254;
inline constexpr int kMaxNumericLength = 20;
inline constexpr int kMaxNumericDecimals = 18;

// --- Memo files -----------------------------------------------------------------
inline constexpr std::uint32_t kMemoBlockSize =
    512;  // what we create; others are read from the header
inline constexpr std::size_t kMemoNextBlockOffset = 0;
inline constexpr std::size_t kMemoNameOffset = 8;
inline constexpr std::size_t kMemoNameSize = 8;
inline constexpr std::size_t kMemoMarkerOffset = 18;  // bytes 0x02 0x01 (0x0102 little-endian)
inline constexpr std::uint16_t kMemoMarker = 0x0102;
inline constexpr std::size_t kMemoBlockSizeOffset = 20;
inline constexpr std::size_t kMemoHeaderWritten = 24;  // a new dBASE IV memo file is this long
// A dBASE IV memo block starts with 0xFF 0xFF 0x08 0x00 and the 32-bit length
// of text plus these 8 bytes.
inline constexpr unsigned char kMemo4Signature[4] = {0xFF, 0xFF, 0x08, 0x00};
inline constexpr std::size_t kMemo4BlockHeader = 8;
// dBASE III: the text ends at 0x1A; a new file is 0x01, 511 zero bytes, 0x1A.
inline constexpr std::size_t kMemo3NewFileSize = 513;
// FoxPro: big-endian integers; next block at 0, block size at 6, a 512-byte
// header, and per memo an 8-byte header of type (1 = text) and text length.
inline constexpr std::size_t kFptBlockSizeOffset = 6;
inline constexpr std::size_t kFptHeaderSize = 512;
inline constexpr std::uint32_t kFptTextType = 1;
inline constexpr std::size_t kFptBlockHeader = 8;

// --- Locks ------------------------------------------------------------------------
// All lock bytes lie far beyond any data so that they never block reading or
// writing it (the locks are advisory but other dBASE programs use the same
// offsets).
inline constexpr std::int64_t kLockBase = 0x40000000;
inline constexpr std::int64_t kAppendLockOffset = kLockBase + 1;
inline constexpr std::int64_t kMemoLockOffset = 10;
// Share modes do not exist on this platform: a shared open holds a read lock
// on this byte and an exclusive open a write lock, so that each refuses the
// other. It lies below the lock base, apart from every record-lock range.
inline constexpr std::int64_t kShareLockOffset = 0x3FFFFFF0;
// Offsets past this limit cannot be locked or addressed by 32-bit dBASE
// programs; a table file never grows to it.
inline constexpr std::int64_t kMaxTableFileSize = 0x7FFFFFFF;

inline constexpr int kMaxWorkAreas = 33;
inline constexpr int kMemoLockAttempts = 11;

}  // namespace kestrel::dbf
