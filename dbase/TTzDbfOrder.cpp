// The table component's index order: building the single-tag index and
// keeping it as the table's current order.
#include <algorithm>
#include <cerrno>
#include <ctime>

#include "dbase/DbfLayout.h"
#include "dbase/ETableError.h"
#include "dbase/FilePath.h"
#include "dbase/IndexError.h"
#include "dbase/MdxBuilder.h"
#include "dbase/MessagePath.h"
#include "dbase/TTzDbf.h"

namespace kestrel {
namespace {

mdx::MdxDate currentDate() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return mdx::MdxDate{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

// Records read per piece in a sequential scan.
constexpr std::size_t kScanBytes = std::size_t{1} << 20;

}  // namespace

void TTzDbf::closeIndex() {
  if (!m_index) return;
  std::unique_ptr<TableIndex> index = std::move(m_index);
  index->close();
}

void TTzDbf::reopen(bool exclusive) {
  Close();
  m_exclusive = exclusive;
  Open();
}

void TTzDbf::scanRecords(
    const std::function<void(const char* record, std::uint32_t recNo)>& visit) {
  const std::uint32_t count = RecordCount();
  const std::size_t length = m_header.recordLength;
  const std::size_t perPiece = std::max<std::size_t>(1, kScanBytes / length);
  std::string piece;
  for (std::uint32_t first = 1; first <= count;) {
    const std::uint32_t n =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(perPiece, count - first + 1ull));
    piece.resize(n * length);
    std::size_t got = 0;
    const int error = m_file.readAt(recordOffset(first), piece.data(), piece.size(), got);
    if (error != 0 || got != piece.size()) {
      const std::uint32_t failed = first + static_cast<std::uint32_t>(got / length);
      throw ETableError(
          error != 0 ? tableErrorCodeFromErrno(error, false) : TableErrorCode::kReadError,
          "Error reading " + messagePath(m_fileName) + " Record # " + std::to_string(failed) +
              " [GetRecord]");
    }
    for (std::uint32_t i = 0; i < n; ++i) visit(piece.data() + i * length, first + i);
    first += n;
  }
}

void TTzDbf::buildIndex(const FieldDescriptor& field, const std::string& expression,
                        const std::string& indexPath, OsFile& claimed) {
  MdxBuilder::Request request;
  request.indexPath = indexPath;
  request.file = &claimed;
  request.tableName = stemOf(m_fileName);
  request.expression = expression;
  request.fieldType = field.type;
  request.fieldLength = static_cast<std::size_t>(field.length);
  request.recordCount = RecordCount();
  request.memoryBudget = m_indexMemoryBudget;
  request.tempFolder = m_indexTempFolder;
  request.today = currentDate();
  try {
    request.freeDiskBytes = MdxBuilder::freeDiskBytes(folderOf(indexPath));
    MdxBuilder::build(request, [&](const MdxBuilder::RecordSink& sink) {
      // Keys are formed from the bytes as stored: an OEM table's text keys
      // are OEM bytes, so that the order is the one other programs see.
      scanRecords([&](const char* record, std::uint32_t recNo) {
        sink(std::string_view(record + field.offset, static_cast<std::size_t>(field.length)),
             recNo);
      });
    });
  } catch (const IndexError& error) {
    throw TableIndex::asTableError(error);
  }
}

bool TTzDbf::IndexOnOne(const std::string& keyExpression, const std::string& indexName) {
  const Notice notice(*this, DataSetEvent::Scrolled);
  checkActive("IndexOnOne");
  checkBrowseMode();
  closeIndex();
  const std::string indexPath = TableIndex::indexPathFor(m_fileName, indexName);
  const std::string expression = keyExpression;
  const FieldDescriptor field = fieldNamed(expression, "AddIndexTag()");

  // The index file is claimed before the build writes it and stays claimed
  // until it is open as the order, so a second process sorting by the same
  // field cannot erase it half written. Another process with the index open
  // keeps its file; the build then needs the table to itself. A table open
  // read-only never has it so: its exclusive open takes no share lock, and
  // other processes may have the table open all the same.
  const bool tableIsOurs = m_exclusive && !m_readOnly;
  OsFile claimed;
  int claim = TableIndex::claimForBuild(indexPath, claimed, tableIsOurs);
  bool reopened = false;
  if (claim == EAGAIN && !m_exclusive && !m_readOnly) {
    try {
      reopen(true);
    } catch (const ETableError&) {
      reopen(false);
      throw ETableError(TableErrorCode::kExclusiveRequired,
                        messagePath(m_fileName) + " MakeIndex(" + messagePath(indexPath) + ")");
    }
    reopened = true;
    claim = TableIndex::claimForBuild(indexPath, claimed, true);
  }
  const auto backToShared = [&] {
    try {
      reopen(false);
    } catch (const ETableError& error) {
      throw ETableError(error.code(), "Cannot_Reopen_Database_Sharable MakeIndex(" +
                                          messagePath(indexPath) + ")");
    }
  };
  try {
    if (claim != 0) {
      throw ETableError(claim == EAGAIN ? TableErrorCode::kExclusiveRequired
                                        : tableErrorCodeFromErrno(claim, true),
                        messagePath(m_fileName) + " MakeIndex(" + messagePath(indexPath) + ")");
    }
    buildIndex(field, expression, indexPath, claimed);
  } catch (...) {
    if (reopened) backToShared();
    throw;
  }
  if (reopened) backToShared();
  m_index = std::make_unique<TableIndex>(std::move(claimed), indexPath, m_file, m_fileName,
                                         !m_exclusive, field);
  m_indexExpression = expression;
  return true;
}

bool TTzDbf::visibleInOrder(std::uint32_t recNo) const {
  return !m_hideDeleted ||
         static_cast<unsigned char>(fetchRawRecord(recNo)[0]) != dbf::kDeletedFlag;
}

void TTzDbf::seekOrdered(std::uint32_t recNo) {
  for (m_index->First(); !m_index->Eof() && m_index->RecNo() != recNo; m_index->Next()) {
  }
  if (m_index->Eof()) return;
  readRecord(recNo);
  m_bof = false;
  m_eof = false;
}

void TTzDbf::priorOrdered() {
  const std::uint32_t current = m_recNo;
  std::uint32_t previous = 0;
  for (m_index->First(); !m_index->Eof() && m_index->RecNo() != current; m_index->Next()) {
    if (visibleInOrder(m_index->RecNo())) previous = m_index->RecNo();
  }
  seekOrdered(previous == 0 ? current : previous);
  if (previous == 0) m_bof = true;
}

void TTzDbf::lastOrdered() {
  std::uint32_t last = 0;
  for (m_index->First(); !m_index->Eof(); m_index->Next()) {
    if (visibleInOrder(m_index->RecNo())) last = m_index->RecNo();
  }
  if (last == 0) {
    m_bof = true;
    m_eof = true;
    m_recNo = 0;
    blankRecord();
    return;
  }
  seekOrdered(last);
}

}  // namespace kestrel
