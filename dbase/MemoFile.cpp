#include "dbase/MemoFile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "dbase/ByteOrder.h"
#include "dbase/DbfLayout.h"
#include "dbase/ETableError.h"
#include "dbase/FilePath.h"
#include "dbase/LockRetry.h"
#include "dbase/MessagePath.h"

namespace kestrel {
namespace {

using namespace dbf;

std::uint64_t roundUp(std::uint64_t value, std::uint64_t unit) {
  return (value + unit - 1) / unit * unit;
}

}  // namespace

int MemoFile::createDbase4(const std::string& path) {
  unsigned char header[kMemoHeaderWritten] = {};
  putLe32(header + kMemoNextBlockOffset, 1);
  const std::string base = stemOf(path);
  std::copy_n(base.begin(), std::min(base.size(), kMemoNameSize), header + kMemoNameOffset);
  putLe16(header + kMemoMarkerOffset, kMemoMarker);
  putLe16(header + kMemoBlockSizeOffset, static_cast<std::uint16_t>(kMemoBlockSize));
  OsFile file;
  if (int error = file.create(path)) return error;
  return file.writeAt(0, header, sizeof header);
}

std::string MemoFile::memoPathFor(const std::string& tablePath, MemoLayout layout) {
  return findIgnoringCase(withExtension(tablePath, layout == MemoLayout::FoxPro ? ".FPT" : ".DBT"));
}

void MemoFile::open(const std::string& path, MemoLayout layout, bool exclusive, bool readOnly) {
  close();
  m_path = path;
  m_layout = layout;
  int error = m_file.open(path, readOnly ? OsFile::Access::ReadOnly : OsFile::Access::ReadWrite);
  if (error != 0) {
    throw ETableError(tableErrorCodeFromErrno(error, false),
                      "Memo file not found: " + messagePath(path) + " [USE]");
  }
  if (!(readOnly && exclusive)) {
    auto kind = exclusive ? OsFile::LockKind::Exclusive : OsFile::LockKind::Shared;
    if (m_file.tryLock(kShareLockOffset, 1, kind) != 0) {
      m_file.close();
      throw ETableError(TableErrorCode::kSharingViolation, messagePath(path) + " [USE]");
    }
  }
  unsigned char header[kFptHeaderSize] = {};
  std::size_t got = 0;
  if (int error = m_file.readAt(0, header, sizeof header, got)) {
    m_file.close();
    throw ETableError(tableErrorCodeFromErrno(error, false),
                      "Error reading " + messagePath(path) + " [USE]");
  }
  m_blockSize = kMemoBlockSize;
  if (layout == MemoLayout::Dbase4 && got >= kMemoBlockSizeOffset + 2) {
    m_blockSize = getLe16(header + kMemoBlockSizeOffset);
  } else if (layout == MemoLayout::FoxPro && got >= kFptBlockSizeOffset + 2) {
    m_blockSize = getBe16(header + kFptBlockSizeOffset);
  }
  if (m_blockSize == 0) m_blockSize = kMemoBlockSize;
}

void MemoFile::close() {
  m_file.close();
}

std::size_t MemoFile::readSome(std::int64_t offset, void* buffer, std::size_t size) const {
  std::size_t got = 0;
  if (int error = m_file.readAt(offset, buffer, size, got)) {
    throw ETableError(tableErrorCodeFromErrno(error, false),
                      "Error reading " + messagePath(m_path));
  }
  return got;
}

std::string MemoFile::readToEnd(std::int64_t offset, std::int64_t limit, bool stopAtEof) const {
  std::string text;
  char chunk[4096];
  while (offset < limit) {
    std::size_t want =
        static_cast<std::size_t>(std::min<std::int64_t>(sizeof chunk, limit - offset));
    const std::size_t got = readSome(offset, chunk, want);
    if (got == 0) break;
    if (stopAtEof) {
      const char* end = std::find(chunk, chunk + got, static_cast<char>(kEndOfFile));
      text.append(chunk, static_cast<std::size_t>(end - chunk));
      if (end != chunk + got) break;
    } else {
      text.append(chunk, got);
    }
    offset += static_cast<std::int64_t>(got);
  }
  return text;
}

std::string MemoFile::read(std::uint32_t block, std::uint32_t recordNumber) const {
  const std::int64_t fileSize = m_file.size();
  const std::int64_t offset = static_cast<std::int64_t>(block) * m_blockSize;
  if (block == 0 || offset >= fileSize) {
    throw ETableError(
        TableErrorCode::kInvalidMemoAddress,
        messagePath(m_path) + " Record # " + std::to_string(recordNumber) + " [GetMemo]");
  }
  unsigned char head[8] = {};
  const std::size_t got = readSome(offset, head, sizeof head);
  // Lengths from the file are only trusted as far as the file reaches.
  if (m_layout == MemoLayout::FoxPro) {
    // Without its head a FoxPro memo has no length: the file is cut short.
    if (got < kFptBlockHeader) {
      throw ETableError(TableErrorCode::kReadError,
                        "Error reading " + messagePath(m_path) + " Record # " +
                            std::to_string(recordNumber) + " [GetMemo]");
    }
    std::int64_t length = getBe32(head + 4);
    std::int64_t start = offset + static_cast<std::int64_t>(kFptBlockHeader);
    return readToEnd(start, std::min(fileSize, start + length), false);
  }
  if (m_layout == MemoLayout::Dbase4 && got == sizeof head &&
      std::equal(head, head + 4, kMemo4Signature)) {
    std::int64_t total = getLe32(head + 4);
    std::int64_t length =
        std::max<std::int64_t>(0, total - static_cast<std::int64_t>(kMemo4BlockHeader));
    std::int64_t start = offset + static_cast<std::int64_t>(kMemo4BlockHeader);
    return readToEnd(start, std::min(fileSize, start + length), false);
  }
  return readToEnd(offset, fileSize, true);
}

int MemoFile::createEmptyCopy(const std::string& path) const {
  const std::uint32_t first = firstUsableBlock();
  std::string header(static_cast<std::size_t>(first) * m_blockSize, '\0');
  std::size_t got = 0;
  if (int error = m_file.readAt(0, header.data(), header.size(), got)) return error;
  header.resize(got);
  if (header.size() < 4) return EINVAL;
  auto* bytes = reinterpret_cast<unsigned char*>(header.data());
  if (m_layout == MemoLayout::FoxPro) {
    putBe32(bytes + kMemoNextBlockOffset, first);
  } else {
    putLe32(bytes + kMemoNextBlockOffset, first);
  }
  OsFile file;
  if (int error = file.create(path)) return error;
  return file.writeAt(0, header.data(), header.size());
}

std::uint32_t MemoFile::firstUsableBlock() const {
  // Block 0 (and for FoxPro the whole 512-byte header) is never a memo.
  std::uint64_t header = m_layout == MemoLayout::FoxPro ? kFptHeaderSize : kMemoBlockSize;
  return static_cast<std::uint32_t>(
      std::max<std::uint64_t>(1, roundUp(header, m_blockSize) / m_blockSize));
}

std::string MemoFile::encodeMemo(const std::string& text) const {
  std::string bytes;
  if (m_layout == MemoLayout::Dbase3) {
    // dBASE III memos end at 0x1A; a second one keeps readers that look for
    // the pair from running into the next memo.
    bytes = text;
    bytes += static_cast<char>(kEndOfFile);
    bytes += static_cast<char>(kEndOfFile);
    return bytes;
  }
  unsigned char head[8] = {};
  if (m_layout == MemoLayout::FoxPro) {
    putBe32(head, kFptTextType);
    putBe32(head + 4, static_cast<std::uint32_t>(text.size()));
  } else {
    std::copy_n(kMemo4Signature, 4, head);
    putLe32(head + 4, static_cast<std::uint32_t>(text.size() + kMemo4BlockHeader));
  }
  bytes.assign(reinterpret_cast<const char*>(head), sizeof head);
  bytes += text;
  if (m_layout == MemoLayout::FoxPro) bytes.resize(roundUp(bytes.size(), m_blockSize), '\0');
  return bytes;
}

void MemoFile::lock(const std::string& operation) {
  if (retryLock(kMemoLockAttempts, std::chrono::milliseconds(20), [this] {
        return m_file.tryLock(kMemoLockOffset, 1, OsFile::LockKind::Exclusive) == 0;
      }))
    return;
  throw ETableError(TableErrorCode::kMemoLockFailed, messagePath(m_path) + " [" + operation + "]");
}

void MemoFile::unlock(const std::string& operation) {
  if (m_file.unlock(kMemoLockOffset, 1) != 0) {
    throw ETableError(TableErrorCode::kMemoUnlockFailed,
                      messagePath(m_path) + " [" + operation + "]");
  }
}

std::uint32_t MemoFile::add(const std::string& text, bool shared, const std::string& operation) {
  if (text.size() > static_cast<std::size_t>(kMaxTableFileSize)) {
    throw ETableError(TableErrorCode::kMemoWriteError,
                      messagePath(m_path) + " [" + operation + "]");
  }
  if (shared) lock(operation);
  auto fail = [&](int code) {
    if (shared) (void)m_file.unlock(kMemoLockOffset, 1);
    throw ETableError(code, messagePath(m_path) + " [" + operation + "]");
  };
  const std::int64_t oldSize = m_file.size();
  if (oldSize < 0) fail(TableErrorCode::kReadError);
  unsigned char oldNext[4] = {};
  try {
    if (readSome(kMemoNextBlockOffset, oldNext, sizeof oldNext) != sizeof oldNext && oldSize >= 4) {
      throw ETableError(TableErrorCode::kReadError, "Error reading " + messagePath(m_path));
    }
  } catch (...) {
    if (shared) (void)m_file.unlock(kMemoLockOffset, 1);
    throw;
  }
  // A new memo always goes at the end of the file. The next-free word is not
  // trusted below the end: other programs and crashes leave it (or a free
  // chain starting at it) naming blocks that a live record's memo still
  // uses, and only a walk over every record could tell which are free. Past
  // the end it would leave a hole. Either way the word is set right below.
  std::uint64_t start = roundUp(static_cast<std::uint64_t>(oldSize), m_blockSize);
  start = std::max<std::uint64_t>(start, std::uint64_t{firstUsableBlock()} * m_blockSize);
  std::string bytes(static_cast<std::size_t>(start - static_cast<std::uint64_t>(oldSize)), '\0');
  bytes += encodeMemo(text);
  const std::uint64_t newSize = static_cast<std::uint64_t>(oldSize) + bytes.size();
  if (start / m_blockSize > 0xFFFFFFFFu ||
      newSize > static_cast<std::uint64_t>(kMaxTableFileSize)) {
    fail(TableErrorCode::kDiskFull);
  }
  if (m_file.writeAt(oldSize, bytes.data(), bytes.size()) != 0) {
    (void)m_file.truncate(oldSize);
    fail(TableErrorCode::kMemoWriteError);
  }
  unsigned char next[4];
  const auto nextBlock = static_cast<std::uint32_t>(roundUp(newSize, m_blockSize) / m_blockSize);
  if (m_layout == MemoLayout::FoxPro) {
    putBe32(next, nextBlock);
  } else {
    putLe32(next, nextBlock);
  }
  if (m_file.writeAt(kMemoNextBlockOffset, next, sizeof next) != 0) {
    // Back to the file as it was (best effort: the write error is what the
    // caller must see either way).
    if (oldSize >= static_cast<std::int64_t>(sizeof oldNext)) {
      (void)m_file.writeAt(kMemoNextBlockOffset, oldNext, sizeof oldNext);
    }
    (void)m_file.truncate(oldSize);
    fail(TableErrorCode::kMemoWriteError);
  }
  if (shared) unlock(operation);
  return static_cast<std::uint32_t>(start / m_blockSize);
}

}  // namespace kestrel
