// The table component's pack: records marked deleted removed in place, the
// memo file rewritten with only the memos that kept records refer to.
#include <sys/statvfs.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "dbase/DbfLayout.h"
#include "dbase/ETableError.h"
#include "dbase/FieldCodec.h"
#include "dbase/FilePath.h"
#include "dbase/MessagePath.h"
#include "dbase/TTzDbf.h"

namespace kestrel {
namespace {

using namespace dbf;

std::uint64_t freeBytesBeside(const std::string& path) {
  struct statvfs fs {};
  if (::statvfs(folderOf(path).c_str(), &fs) != 0) return 0;
  return static_cast<std::uint64_t>(fs.f_bavail) * fs.f_frsize;
}

}  // namespace

bool TTzDbf::Pack() {
  const Notice notice(*this, DataSetEvent::Opened);
  checkActive("Pack");
  checkBrowseMode();
  if (RecordCount() == 0) return true;
  const bool wasShared = !m_exclusive;
  const std::string orderPath = indexPath();
  const std::string orderExpression = m_indexExpression;
  if (wasShared) {
    // Asked first on the open file, so that a refused pack does not even
    // write back the header as closing the table would.
    if (m_file.tryLock(kShareLockOffset, 1, OsFile::LockKind::Exclusive) != 0) return false;
    // Back to the shared lock the open held; the reopen below drops it anyway.
    (void)m_file.tryLock(kShareLockOffset, 1, OsFile::LockKind::Shared);
    try {
      reopen(true);
    } catch (const ETableError&) {
      reopen(false);
      return false;
    }
  }
  closeIndex();
  const std::uint32_t kept = compactRecords();
  m_count = kept;
  if (m_memo.isOpen()) packMemoFile();
  if (wasShared) {
    try {
      reopen(false);
    } catch (const ETableError& error) {
      throw ETableError(error.code(),
                        "Cannot re-open database sharable. " + messagePath(m_fileName) + " [Pack]");
    }
  }
  if (!orderPath.empty()) IndexOnOne(orderExpression, orderPath);
  First();
  return true;
}

// Kept records close up in their order, read and written in large pieces;
// a piece is read whole before anything is written over it, and writes never
// pass the reading position, so every kept record exists somewhere in the
// file at every moment. Only then is the file cut and the header rewritten.
std::uint32_t TTzDbf::compactRecords() {
  forgetFileBytes();
  const std::size_t length = m_header.recordLength;
  std::uint32_t kept = 0;
  std::string out;
  std::uint32_t firstDropped = 0;
  const auto flush = [&] {
    if (out.empty()) return;
    const std::uint32_t writtenTo = kept - static_cast<std::uint32_t>(out.size() / length) + 1;
    if (int error = m_file.writeAt(recordOffset(writtenTo), out.data(), out.size())) {
      throw ETableError(tableErrorCodeFromErrno(error, true),
                        "Error writing " + messagePath(m_fileName) + " Record # " +
                            std::to_string(writtenTo) + " [Pack]");
    }
    out.clear();
  };
  scanRecords([&](const char* record, std::uint32_t recNo) {
    if (static_cast<unsigned char>(record[0]) == kDeletedFlag) {
      if (firstDropped == 0) firstDropped = recNo;
      return;
    }
    ++kept;
    if (firstDropped == 0) return;  // still in its place
    out.append(record, length);
    // The scan holds its current piece in memory, and targets lie before
    // the record being read, so no unread record is overwritten.
    if (out.size() >= (std::size_t{1} << 20)) flush();
  });
  flush();
  const std::int64_t end = recordOffset(kept + 1);
  const char eof = static_cast<char>(kEndOfFile);
  int error = m_file.writeAt(end, &eof, 1);
  if (error == 0) error = m_file.truncate(end + 1);
  if (error != 0) {
    throw ETableError(tableErrorCodeFromErrno(error, true),
                      "Error writing " + messagePath(m_fileName) + " [Pack]");
  }
  rewriteHeader(kept, "Pack");
  m_changed = false;
  m_appended = false;
  return kept;
}

// The memos of kept records go into a new file first; only when it is
// complete do the records get their new block numbers and the new file the
// old one's name, so a failure on the way leaves table and memos as they
// were.
void TTzDbf::packMemoFile() {
  const std::string memoPath = m_memo.path();
  const std::int64_t memoSize = m_memo.size();
  if (freeBytesBeside(memoPath) / 1024 <
      static_cast<std::uint64_t>(std::max<std::int64_t>(0, memoSize)) / 1024) {
    throw ETableError(TableErrorCode::kMemoPackDiskSpace,
                      messagePath(memoPath) + " [PackMemofile]");
  }
  std::vector<std::size_t> memoFields;
  for (std::size_t i = 0; i < m_header.fields.size(); ++i) {
    if (m_header.fields[i].type == 'M') memoFields.push_back(i);
  }
  const std::string newPath = withExtension(m_fileName, ".$$$");
  const auto failed = [&](int code) {
    (void)removeFile(newPath);
    throw ETableError(code, messagePath(memoPath) + " [PackMemofile]");
  };
  if (int error = m_memo.createEmptyCopy(newPath)) failed(tableErrorCodeFromErrno(error, true));
  std::vector<std::uint32_t> blocks;  // per record and memo field
  blocks.reserve(static_cast<std::size_t>(m_count) * memoFields.size());
  try {
    MemoFile packed;
    packed.open(newPath, m_header.memo, true, false);
    scanRecords([&](const char* record, std::uint32_t recNo) {
      for (std::size_t index : memoFields) {
        const FieldDescriptor& field = m_header.fields[index];
        const std::uint32_t block = readMemoBlock(
            std::string(record + field.offset, static_cast<std::size_t>(field.length)));
        blocks.push_back(block == 0 ? 0
                                    : packed.add(m_memo.read(block, recNo), false, "PackMemofile"));
      }
    });
  } catch (const ETableError& error) {
    failed(error.code());
  }
  std::string record;
  std::size_t at = 0;
  m_readAhead.drop();
  for (std::uint32_t recNo = 1; recNo <= m_count; ++recNo) {
    for (std::size_t index : memoFields) {
      const FieldDescriptor& field = m_header.fields[index];
      record.assign(m_header.recordLength, ' ');
      putMemoBlock(record, field, blocks[at++]);
      if (int error = m_file.writeAt(recordOffset(recNo) + static_cast<std::int64_t>(field.offset),
                                     record.data() + field.offset,
                                     static_cast<std::size_t>(field.length))) {
        throw ETableError(tableErrorCodeFromErrno(error, true),
                          "Error writing " + messagePath(m_fileName) + " Record # " +
                              std::to_string(recNo) + " [PackMemofile]");
      }
    }
  }
  m_memo.close();
  if (int error = renameFile(newPath, memoPath)) {
    throw ETableError(tableErrorCodeFromErrno(error, true),
                      messagePath(memoPath) + " [PackMemofile]");
  }
  m_memo.open(memoPath, m_header.memo, m_exclusive, m_readOnly);
}

}  // namespace kestrel
