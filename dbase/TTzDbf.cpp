#include "dbase/TTzDbf.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <exception>
#include <stdexcept>

#include "dbase/AsciiText.h"
#include "dbase/CodePage.h"
#include "dbase/DateText.h"
#include "dbase/DbfLayout.h"
#include "dbase/ETableError.h"
#include "dbase/FieldCodec.h"
#include "dbase/FieldDefinition.h"
#include "dbase/FilePath.h"
#include "dbase/MessagePath.h"
#include "dbase/TableCreator.h"
#include "dbase/TableWarnings.h"
#include "dbase/WorkAreas.h"

namespace kestrel {
namespace {

using namespace dbf;

// Whether the first `length` bytes of `query` name those of `key`, a word at
// a time, the last word overlapping the one before it. Requires: length >= 8.
bool sameWords(const char* query, const char* key, std::size_t length) {
  const auto sameWord = [&](std::size_t at) {
    std::uint64_t asked = 0;
    std::uint64_t stored = 0;
    std::memcpy(&asked, query + at, sizeof asked);
    std::memcpy(&stored, key + at, sizeof stored);
    return asciiUpperWord(asked) == stored;
  };
  for (std::size_t at = 0; at + 8 <= length; at += 8) {
    if (!sameWord(at)) return false;
  }
  return length % 8 == 0 || sameWord(length - 8);
}

// Whether `query` names `key` (an upper-case stored name) when both are cut
// to `limit` characters, compared without regard to case. Names of eight
// characters and more are compared a word at a time: this runs for every
// field a visit reads.
bool sameName(const std::string& query, const std::string& key, std::size_t limit) {
  const std::size_t length = std::min(query.size(), limit);
  if (std::min(key.size(), limit) != length) return false;
  if (length >= 8) return sameWords(query.data(), key.data(), length);
  for (std::size_t k = 0; k < length; ++k) {
    if (asciiUpper(query[k]) != key[k]) return false;
  }
  return true;
}

// Header rewrites at the close of a shared table while other processes keep
// appending; after that their own closes write the count.
constexpr int kHeaderRewrites = 10;

// The first read of an open: the header of any usual table and its first
// records, so that showing record 1 needs no read of its own.
constexpr std::int64_t kOpeningRead = 2048;

// The last slots of a padded file read at once to find its last record.
constexpr std::size_t kPaddingWindow = 64 * 1024;

}  // namespace

TTzDbf::TTzDbf(std::string name) : m_name(std::move(name)) {}

TTzDbf::~TTzDbf() {
  try {
    Close();
  } catch (...) {
    // A destructor cannot report; the work area and the files are released anyway.
  }
}

void TTzDbf::SetDbfFileName(const std::string& fileName) {
  const bool wasActive = Active();
  Close();
  m_fileName = withTableExtension(trimSpaces(fileName));
  if (wasActive) Open();
}

void TTzDbf::SetDbfFields(std::vector<std::string> definitions) {
  m_fieldDefinitions = std::move(definitions);
}

void TTzDbf::SetExclusive(bool exclusive) {
  if (exclusive == m_exclusive) return;
  if (!Active()) {
    m_exclusive = exclusive;
    return;
  }
  Close();
  m_exclusive = exclusive;
  Open();
}

void TTzDbf::SetActive(bool active) {
  if (active) {
    Open();
  } else {
    Close();
  }
}

// --- Open and close -------------------------------------------------------------------

void TTzDbf::Open() {
  const Notice notice(*this, DataSetEvent::Opened);
  if (Active()) return;
  if (m_fileName.empty()) throw std::runtime_error("Missing DbfFilename property");
  m_workArea = WorkAreas::acquire();
  if (m_workArea == 0)
    throw ETableError(TableErrorCode::kInvalidParameter, "No free workarea available [Select(0)]");
  try {
    openFiles();
  } catch (...) {
    releaseAll();
    throw;
  }
}

void TTzDbf::createIfMissing() {
  if (fileExists(m_fileName)) return;
  const std::string notCreated = "Could not create \"" + messagePath(m_fileName) + "\"";
  if (m_fieldDefinitions.empty()) {
    showTableWarning("FieldList.Count is <= 0 trying to create a database");
    showTableWarning(notCreated);
    return;
  }
  // Creation errors are not raised: the open goes on and then fails with
  // "File not found".
  try {
    auto fields = fieldsFromDefinitions(m_fieldDefinitions, m_name);
    if (fields) {
      createTableFile(m_fileName, *fields);
      return;
    }
  } catch (const ETableError&) {
  }
  showTableWarning(notCreated);
}

void TTzDbf::openFiles() {
  const auto access = m_readOnly ? OsFile::Access::ReadOnly : OsFile::Access::ReadWrite;
  int openError = m_file.open(m_fileName, access);
  // A missing file is looked for, and made, only when the open fails, so
  // that opening one that is there costs no extra look at the folder.
  if (openError != 0 && !fileExists(m_fileName)) {
    // A table whose name differs only in case is the one meant. Making a new
    // table beside it would also take over its memo file, which is found
    // without regard to case, and empty it.
    if (const std::string existing = findIgnoringCase(m_fileName); existing != m_fileName) {
      m_fileName = existing;
      openError = m_file.open(m_fileName, access);
    } else if (m_createIfNotFound) {
      createIfMissing();
      openError = m_file.open(m_fileName, access);
    }
  }
  if (int error = openError) {
    throw ETableError(tableErrorCodeFromErrno(error, false),
                      "Cannot open " + messagePath(m_fileName) + " [USE]");
  }
  // The emulated share mode: read-only exclusive opens follow no sharing rules.
  if (!(m_readOnly && m_exclusive)) {
    auto kind = m_exclusive ? OsFile::LockKind::Exclusive : OsFile::LockKind::Shared;
    if (int error = m_file.tryLock(kShareLockOffset, 1, kind)) {
      throw ETableError(error == EAGAIN ? TableErrorCode::kSharingViolation
                                        : tableErrorCodeFromErrno(error, false),
                        "Cannot open " + messagePath(m_fileName) + " [USE]");
    }
  }
  const std::int64_t size = m_file.size();
  // One read brings the header and the first records; should it fail, the
  // header reader reads again and reports what went wrong.
  if (size > 0 &&
      m_readAhead.fill(m_file, 0,
                       static_cast<std::size_t>(std::min<std::int64_t>(size, kOpeningRead))) != 0) {
    m_readAhead.drop();
  }
  m_header = readTableHeader(m_file, size, m_fileName, m_readAhead.bytes());
  m_alias = asciiUpper(m_name.empty() ? stemOf(m_fileName) : m_name);
  if (WorkAreas::aliasInUse(m_alias, m_workArea)) {
    throw ETableError(TableErrorCode::kInvalidParameter,
                      "Alias name \"" + m_alias + "\" already in use. [USE]");
  }
  WorkAreas::setAlias(m_workArea, m_alias);
  // Names come upper case from the header, ready to be matched.
  const auto& fields = m_header.fields;
  m_duplicateNames = false;
  for (auto field = fields.begin(); field != fields.end() && !m_duplicateNames; ++field) {
    m_duplicateNames = std::any_of(fields.begin(), field, [&](const FieldDescriptor& before) {
      return before.name == field->name;
    });
  }
  m_lastField = 0;
  // A header count beyond the records the file holds would send every visit
  // past the end of the file, so it is cut to what is there.
  const std::uint32_t onDisk = countFromFileSize(size);
  m_count = m_autoFixRecCount ? onDisk : std::min(m_header.recordCount, onDisk);
  m_knownCount = onDisk;
  if (m_header.version & kMemoBit) {
    m_memo.open(MemoFile::memoPathFor(m_fileName, m_header.memo), m_header.memo, m_exclusive,
                m_readOnly);
  }
  m_state = TDataSetState::dsBrowse;
  m_appended = false;
  m_changed = false;
  blankRecord();
  m_recNo = 0;
  m_bof = true;
  m_eof = true;
  positionOn(1, 1);
}

void TTzDbf::Close() {
  const Notice notice(*this, DataSetEvent::Closed);
  if (!Active()) return;
  m_state = TDataSetState::dsBrowse;  // an unposted edit is dropped
  std::exception_ptr failure;
  try {
    closeIndex();
  } catch (...) {
    failure = std::current_exception();
  }
  try {
    writeBack();
  } catch (...) {
    if (!failure) failure = std::current_exception();
  }
  releaseAll();
  if (failure) std::rethrow_exception(failure);
}

void TTzDbf::writeBack() {
  if (m_readOnly || !(m_appended || m_changed)) return;
  if (m_exclusive || m_appendLocked) {
    writeHeaderAndEnd();
    return;
  }
  // Shared, without the append lock: another process may append and write
  // its own header between our count and our write, and ours would then
  // leave its record out. So the size is looked at again after the write,
  // and the header written again while it has grown. The count written last
  // then holds every record, because every append is followed by its own
  // process's rewrite; and no lock is waited for.
  // The first count is from the size this process saw last (after its own
  // append, most often); what changed since shows in the look after.
  std::int64_t size = m_countedSize >= 0 ? m_countedSize : m_file.size();
  for (int rewrite = 0; rewrite < kHeaderRewrites; ++rewrite) {
    if (size < 0)
      throw ETableError(TableErrorCode::kReadError,
                        "Error reading " + messagePath(m_fileName) + " [CLOSE]");
    rewriteHeader(countFromFileSize(size), "CLOSE");
    const std::int64_t after = m_file.size();
    if (after == size) return;
    size = after;
  }
}

void TTzDbf::writeHeaderAndEnd() {
  const std::uint32_t count = m_exclusive ? m_count : countFromFileSize();
  unsigned char before[kHeaderSize];
  readHeaderBytes(before, "CLOSE");
  // Every append already wrote the end-of-file byte after its record; it is
  // written again (here, where no other process can be appending) when the
  // file no longer ends with it as this process left it. It goes before the
  // header, so that a failure leaves the header as it was.
  if (m_appended && !endsRightAfter(count)) {
    const char eof = static_cast<char>(kEndOfFile);
    forgetFileBytes();
    if (int error = m_file.writeAt(recordOffset(count + 1), &eof, 1)) {
      throw ETableError(tableErrorCodeFromErrno(error, true),
                        "Error writing " + messagePath(m_fileName) + " [CLOSE]");
    }
  }
  writeHeader(count, before, "CLOSE");
}

void TTzDbf::rewriteHeader(std::uint32_t count, const std::string& operation) {
  unsigned char before[kHeaderSize];
  readHeaderBytes(before, operation);
  writeHeader(count, before, operation);
}

void TTzDbf::readHeaderBytes(unsigned char (&before)[kHeaderSize], const std::string& operation) {
  std::size_t got = 0;
  const int readError = m_file.readAt(0, before, sizeof before, got);
  if (readError != 0 || got != sizeof before) {
    throw ETableError(
        readError != 0 ? tableErrorCodeFromErrno(readError, false) : TableErrorCode::kReadError,
        "Error reading " + messagePath(m_fileName) + " [" + operation + "]");
  }
}

void TTzDbf::writeHeader(std::uint32_t count, const unsigned char (&before)[kHeaderSize],
                         const std::string& operation) {
  // What other programs keep in bytes 16-27 is written back as read (a read
  // that failed has stopped us before: no zeros go in their place). The old
  // bytes also go back when the write fails part way.
  const std::string header =
      encodeHeaderRewrite(m_header, count, today(), before + kForeignAreaOffset);
  m_readAhead.drop();
  if (int error = m_file.writeAt(0, header.data(), header.size())) {
    (void)m_file.writeAt(0, before, header.size());  // best effort; the error is what counts
    throw ETableError(tableErrorCodeFromErrno(error, true),
                      "Error writing " + messagePath(m_fileName) + " [" + operation + "]");
  }
}

void TTzDbf::releaseAll() {
  // The index logs off the semaphore file under the table's lock byte, so it
  // goes before the table's descriptor. Closing the descriptors drops every
  // lock they hold.
  m_index.reset();
  m_memo.close();
  m_file.close();
  WorkAreas::release(m_workArea);
  m_workArea = 0;
  m_alias.clear();
  m_state = TDataSetState::dsInactive;
  m_appendLocked = false;
  m_lockedRecords.clear();
  m_appended = false;
  m_changed = false;
  m_countedSize = -1;
  m_tail.clear();
  m_knownCount = 0;
  m_readAhead.drop();
  m_recNo = 0;
  m_bof = true;
  m_eof = true;
  m_record.clear();
  m_recordBefore.clear();
}

// --- Records --------------------------------------------------------------------------

std::uint32_t TTzDbf::countFromFileSize(std::int64_t size) const {
  if (size < 0) size = m_file.size();
  if (size <= static_cast<std::int64_t>(m_header.headerLength) || m_header.recordLength == 0) {
    m_countedSize = -1;
    return 0;
  }
  const std::int64_t whole =
      std::min<std::int64_t>((size - m_header.headerLength) / m_header.recordLength, 0xFFFFFFFE);
  // A file whose last whole slot was a record grows with every append, so
  // while its size stays the same so does its count.
  if (size == m_countedSize) return static_cast<std::uint32_t>(whole);
  // The last whole slot and what follows it, in one read: the slot's flag
  // tells whether it is a record, and the rest is what the next append
  // writes over (and must put back should that write fail).
  const std::int64_t slot = whole == 0 ? static_cast<std::int64_t>(m_header.headerLength)
                                       : recordOffset(static_cast<std::uint32_t>(whole));
  m_tail.resize(static_cast<std::size_t>(
      std::min<std::int64_t>(size - slot, 2 * static_cast<std::int64_t>(m_header.recordLength))));
  std::size_t got = 0;
  if (int error = m_file.readAt(slot, m_tail.data(), m_tail.size(), got)) {
    m_countedSize = -1;
    throw ETableError(tableErrorCodeFromErrno(error, false),
                      "Error reading " + messagePath(m_fileName) + " [RecordCount]");
  }
  m_tail.resize(got);
  const auto isFlag = [](unsigned char flag) { return flag == kLiveFlag || flag == kDeletedFlag; };
  const bool readToEnd = slot + static_cast<std::int64_t>(got) == size;
  if (whole == 0) {
    m_countedSize = readToEnd ? size : -1;
    return 0;
  }
  // Slots within the header's count are records whatever their flag: a
  // crash or a preallocated file can leave them zero bytes, and taking them
  // for padding would put the next append inside the file.
  if (got >= 1 &&
      (whole <= m_header.recordCount || isFlag(static_cast<unsigned char>(m_tail[0])))) {
    const bool knownTail = readToEnd && got >= m_header.recordLength;
    if (knownTail) m_tail.erase(0, m_header.recordLength);
    m_countedSize = knownTail ? size : -1;
    return static_cast<std::uint32_t>(whole);
  }
  // Past the header's count, files padded after their end-of-file byte (to
  // a block size, with 0x1A or zeros) have whole slots that are no records:
  // a record starts with a blank or "*". A padded file is checked every
  // time: an append into its padding need not change its size.
  m_countedSize = -1;
  return lastRecordBefore(static_cast<std::uint32_t>(whole));
}

std::uint32_t TTzDbf::lastRecordBefore(std::uint32_t padding) const {
  const auto isFlag = [](unsigned char flag) { return flag == kLiveFlag || flag == kDeletedFlag; };
  const std::uint32_t counted = m_header.recordCount;  // below `padding`
  const std::size_t length = m_header.recordLength;
  const auto readError = [this](int error) {
    return ETableError(tableErrorCodeFromErrno(error, false),
                       "Error reading " + messagePath(m_fileName) + " [RecordCount]");
  };
  // One read of the last slots (padding is seldom longer), never back past
  // the header's count.
  const std::uint32_t window = static_cast<std::uint32_t>(std::min<std::uint64_t>(
      std::max<std::size_t>(1, kPaddingWindow / length), padding - counted));
  const std::uint32_t first = padding - window + 1;
  std::string slots(window * length, '\0');
  std::size_t got = 0;
  if (int error = m_file.readAt(recordOffset(first), slots.data(), slots.size(), got)) {
    throw readError(error);
  }
  for (std::uint32_t n = padding; n >= first && n > counted; --n) {
    const std::size_t at = (n - first) * length;
    if (at < got && isFlag(static_cast<unsigned char>(slots[at]))) return n;
  }
  // Longer padding than that: the records appended after the header's
  // count come first and the padding after them, so halving the slots in
  // between finds their end in a few one-byte reads.
  std::uint32_t record = counted;  // a record, or the header's count
  std::uint32_t pad = first;       // padding
  while (pad - record > 1) {
    const std::uint32_t middle = record + (pad - record) / 2;
    unsigned char flag = 0;
    if (int error = m_file.readAt(recordOffset(middle), &flag, 1, got)) throw readError(error);
    if (got == 1 && isFlag(flag)) {
      record = middle;
    } else {
      pad = middle;
    }
  }
  return record;
}

bool TTzDbf::holdsRecord(std::uint32_t recNo) {
  if (m_exclusive) return recNo <= m_count;
  if (recNo > m_knownCount) m_knownCount = countFromFileSize();
  return recNo <= m_knownCount;
}

bool TTzDbf::endsRightAfter(std::uint32_t count) const {
  return m_countedSize >= 0 && m_countedSize == recordOffset(count + 1) + 1 && m_tail.size() == 1 &&
         static_cast<unsigned char>(m_tail[0]) == kEndOfFile;
}

void TTzDbf::forgetFileBytes() {
  m_readAhead.drop();
  m_countedSize = -1;
}

std::uint32_t TTzDbf::RecordCount() {
  checkActive("RecordCount");
  if (m_exclusive) return m_count;
  m_knownCount = countFromFileSize();
  return m_knownCount;
}

std::int64_t TTzDbf::recordOffset(std::uint32_t recNo) const {
  return static_cast<std::int64_t>(m_header.headerLength) +
         static_cast<std::int64_t>(recNo - 1) * m_header.recordLength;
}

void TTzDbf::loadRecord(std::uint32_t recNo, std::string& into, bool forward) {
  const std::size_t length = m_header.recordLength;
  const std::int64_t offset = recordOffset(recNo);
  into.resize(length);
  const char* bytes = m_readAhead.find(offset, length);
  if (bytes == nullptr && forward) {
    // A window of the records known to be there from this one on.
    const std::uint32_t last = m_exclusive ? m_count : m_knownCount;
    const std::size_t records =
        last < recNo ? 1
                     : std::min<std::size_t>(
                           last - recNo + 1,
                           std::max<std::size_t>(m_readAhead.windowBytesAt(offset) / length, 2));
    if (records > 1) {
      if (m_readAhead.fill(m_file, offset, records * length) == 0) {
        bytes = m_readAhead.find(offset, length);
      }
    }
  }
  if (bytes != nullptr) {
    std::copy_n(bytes, length, into.data());
  } else {
    // Read alone, also when a window could not be read: its error is this one's.
    std::size_t got = 0;
    const int error = m_file.readAt(offset, into.data(), length, got);
    if (error != 0 || got != length) {
      throw ETableError(
          error != 0 ? tableErrorCodeFromErrno(error, false) : TableErrorCode::kReadError,
          "Error reading " + messagePath(m_fileName) + " Record # " + std::to_string(recNo) +
              " [GetRecord]");
    }
  }
  if (m_language == TTableLanguage::tlOem) oemToAnsiInPlace(into.data() + 1, into.data() + length);
}

std::string TTzDbf::fetchRawRecord(std::uint32_t recNo) const {
  std::string bytes(m_header.recordLength, ' ');
  std::size_t got = 0;
  int error = m_file.readAt(recordOffset(recNo), bytes.data(), bytes.size(), got);
  if (error != 0 || got != bytes.size()) {
    throw ETableError(
        error != 0 ? tableErrorCodeFromErrno(error, false) : TableErrorCode::kReadError,
        "Error reading " + messagePath(m_fileName) + " Record # " + std::to_string(recNo) +
            " [GetRecord]");
  }
  return bytes;
}

void TTzDbf::readRecord(std::uint32_t recNo) {
  loadRecord(recNo, m_record, false);
  m_recNo = recNo;
}

void TTzDbf::blankRecord() {
  m_record.assign(m_header.recordLength, ' ');
  // The blank buffer is decoded and encoded again: a memo field then holds
  // block 0 ("         0"), not ten blanks.
  for (const FieldDescriptor& field : m_header.fields) {
    if (field.type == 'M') putMemoBlock(m_record, field, 0);
  }
}

std::string TTzDbf::encodedRecord() const {
  std::string bytes;
  bytes.reserve(m_record.size() + 1);  // room for the end-of-file byte an append adds
  bytes = m_record;
  if (m_language == TTableLanguage::tlOem)
    ansiToOemInPlace(bytes.data() + 1, bytes.data() + bytes.size());
  return bytes;
}

void TTzDbf::writeRecordAt(std::uint32_t recNo, const std::string& bytes,
                           const std::string& operation) {
  const std::int64_t offset = recordOffset(recNo);
  m_readAhead.drop();
  // The record as it was, to put back when the write fails part way.
  std::string previous(bytes.size(), '\0');
  std::size_t got = 0;
  const int readError = m_file.readAt(offset, previous.data(), previous.size(), got);
  if (readError != 0 || got != previous.size()) {
    throw ETableError(
        readError != 0 ? tableErrorCodeFromErrno(readError, false) : TableErrorCode::kReadError,
        "Error reading " + messagePath(m_fileName) + " Record # " + std::to_string(recNo) + " [" +
            operation + "]");
  }
  if (int error = m_file.writeAt(offset, bytes.data(), bytes.size())) {
    // Best effort: the error below is what the caller must see either way.
    (void)m_file.writeAt(offset, previous.data(), previous.size());
    throw ETableError(tableErrorCodeFromErrno(error, true),
                      "Error writing " + messagePath(m_fileName) + " Record # " +
                          std::to_string(recNo) + " [" + operation + "]");
  }
  m_changed = true;
}

void TTzDbf::writeFlag(std::uint32_t recNo, char flag, const std::string& operation) {
  m_readAhead.drop();
  if (int error = m_file.writeAt(recordOffset(recNo), &flag, 1)) {
    throw ETableError(tableErrorCodeFromErrno(error, true),
                      "Error writing " + messagePath(m_fileName) + " Record # " +
                          std::to_string(recNo) + " [" + operation + "]");
  }
  m_changed = true;
}

// --- Visiting ---------------------------------------------------------------------------

void TTzDbf::positionOn(std::uint32_t recNo, int step) {
  for (std::int64_t n = recNo; n >= 1 && holdsRecord(static_cast<std::uint32_t>(n)); n += step) {
    loadRecord(static_cast<std::uint32_t>(n), m_loaded, step > 0);
    if (m_hideDeleted && static_cast<unsigned char>(m_loaded[0]) == kDeletedFlag) continue;
    m_record.swap(m_loaded);
    m_recNo = static_cast<std::uint32_t>(n);
    m_bof = false;
    m_eof = false;
    return;
  }
  if (step > 0) {
    m_eof = true;
  } else {
    m_bof = true;
  }
}

void TTzDbf::First() {
  const Notice notice(*this, DataSetEvent::Scrolled);
  checkActive("First");
  checkBrowseMode();
  if (m_index) {
    m_bof = true;
    m_index->First();
    settleOrdered();
    return;
  }
  m_bof = m_eof = false;
  positionOn(1, 1);
  if (m_eof) {
    m_bof = true;
    m_recNo = 0;
    blankRecord();
  }
  m_bof = true;
}

void TTzDbf::Next() {
  const Notice notice(*this, DataSetEvent::Scrolled);
  checkActive("Next");
  checkBrowseMode();
  if (m_eof) return;
  if (m_index) {
    m_bof = false;
    m_index->Next();
    settleOrdered();
    return;
  }
  positionOn(m_recNo + 1, 1);
}

// On the index's current entry, or past it to the first one shown.
void TTzDbf::settleOrdered() {
  for (; !m_index->Eof(); m_index->Next()) {
    // An order that follows the file (dates of a log kept day by day) reads
    // ahead as a plain visit does; any other reads record by record.
    loadRecord(m_index->RecNo(), m_loaded, m_index->RecNo() == m_recNo + 1);
    if (m_hideDeleted && static_cast<unsigned char>(m_loaded[0]) == kDeletedFlag) continue;
    m_record.swap(m_loaded);
    m_recNo = m_index->RecNo();
    m_eof = false;
    return;
  }
  m_eof = true;
  if (m_bof) {
    m_recNo = 0;
    blankRecord();
  }
}

void TTzDbf::Prior() {
  const Notice notice(*this, DataSetEvent::Scrolled);
  checkActive("Prior");
  checkBrowseMode();
  if (m_index && !m_bof && m_recNo != 0) {
    priorOrdered();
    return;
  }
  if (m_bof || m_recNo <= 1) {
    m_bof = true;
    return;
  }
  positionOn(m_recNo - 1, -1);
}

void TTzDbf::Last() {
  const Notice notice(*this, DataSetEvent::Scrolled);
  checkActive("Last");
  checkBrowseMode();
  if (m_index) {
    lastOrdered();
    return;
  }
  const std::uint32_t count = RecordCount();
  m_bof = m_eof = false;
  positionOn(count, -1);
  if (m_bof) {
    m_eof = true;
    m_recNo = 0;
    blankRecord();
  }
}

void TTzDbf::Refresh() {
  const Notice notice(*this, DataSetEvent::Scrolled);
  checkActive("Refresh");
  if (m_state != TDataSetState::dsBrowse) m_state = TDataSetState::dsBrowse;
  m_readAhead.drop();
  if (m_recNo >= 1 && holdsRecord(m_recNo)) readRecord(m_recNo);
}

bool TTzDbf::Deleted() const {
  return !m_record.empty() && static_cast<unsigned char>(m_record[0]) == kDeletedFlag;
}

// --- Data-set protocol ------------------------------------------------------------------

void TTzDbf::checkBrowseMode() {
  if (m_state == TDataSetState::dsEdit || m_state == TDataSetState::dsInsert) {
    if (m_record != m_recordBefore) {
      Post();
    } else {
      Cancel();
    }
  }
}

void TTzDbf::Insert() {
  const Notice notice(*this, DataSetEvent::StateChanged);
  checkActive("Insert");
  checkBrowseMode();
  m_state = TDataSetState::dsInsert;
  blankRecord();
  m_recordBefore = m_record;
}

void TTzDbf::Edit() {
  const Notice notice(*this, DataSetEvent::StateChanged);
  checkActive("Edit");
  if (m_state != TDataSetState::dsBrowse) return;
  if (m_recNo == 0 || !holdsRecord(1)) {
    Insert();
    return;
  }
  m_state = TDataSetState::dsEdit;
  m_recordBefore = m_record;
}

void TTzDbf::Post() {
  const Notice notice(*this, DataSetEvent::RecordChanged);
  checkActive("Post");
  if (m_state == TDataSetState::dsInsert) {
    s_AppendWithLock();
  } else if (m_state == TDataSetState::dsEdit) {
    s_ReplaceWithLock();
  }
}

void TTzDbf::Cancel() {
  const Notice notice(*this, DataSetEvent::StateChanged);
  checkActive("Cancel");
  if (m_state == TDataSetState::dsBrowse) return;
  m_state = TDataSetState::dsBrowse;
  if (m_recNo >= 1 && holdsRecord(m_recNo)) {
    readRecord(m_recNo);
  } else {
    blankRecord();
  }
}

bool TTzDbf::onStoredRecord(const char* operation) {
  checkActive(operation);
  if (m_state != TDataSetState::dsBrowse) Cancel();
  return m_recNo != 0 && holdsRecord(m_recNo);
}

void TTzDbf::Delete() {
  const Notice notice(*this, DataSetEvent::RecordChanged);
  if (onStoredRecord("Delete")) s_DeleteWithLock();
}

void TTzDbf::Restore() {
  const Notice notice(*this, DataSetEvent::RecordChanged);
  if (onStoredRecord("Restore")) s_RestoreWithLock();
}

bool TTzDbf::withRetries(const std::function<bool()>& attempt, const LockFailedEvent& event) {
  if (attempt()) return true;
  while (event && event()) {
    if (attempt()) return true;
  }
  return false;
}

void TTzDbf::s_AppendWithLock() {
  const bool heldBefore = m_exclusive || m_appendLocked;
  if (!heldBefore && !withRetries([this] { return ALock(); }, m_onALockFailedOnInsert)) {
    showTableWarning("Lock failed [Insert]");
    Cancel();
    return;
  }
  AppendRec();
  if (!heldBefore) UnLock();
}

std::optional<bool> TTzDbf::lockCurrentRecord(const LockFailedEvent& event, const char* operation) {
  const bool heldBefore = m_exclusive || holdsRecordLock(m_recNo);
  if (!heldBefore && !withRetries([this] { return lockRecord(m_recNo); }, event)) {
    showTableWarning(std::string("Lock failed [") + operation + "]");
    return std::nullopt;
  }
  return heldBefore;
}

void TTzDbf::s_ReplaceWithLock() {
  const std::optional<bool> heldBefore = lockCurrentRecord(m_onRLockFailedOnPost, "Post");
  if (!heldBefore) {
    Cancel();
    return;
  }
  if (!m_exclusive && !holdsRecordLock(m_recNo)) {
    throw ETableError(
        TableErrorCode::kRecordNotLocked,
        "Record #" + std::to_string(m_recNo) + " in " + messagePath(m_fileName) + " [REPLACE]");
  }
  const std::string before = m_index ? fetchRawRecord(m_recNo) : std::string();
  const std::string after = encodedRecord();
  writeRecordAt(m_recNo, after, "REPLACE");
  if (m_index) m_index->recordWritten(m_recNo, before, after);
  m_state = TDataSetState::dsBrowse;
  if (!*heldBefore) UnLock();
}

void TTzDbf::s_DeleteWithLock() {
  const std::optional<bool> heldBefore = lockCurrentRecord(m_onRLockFailedOnDelete, "Delete");
  if (!heldBefore) return;
  DeleteRec();
  if (!*heldBefore) UnLock();
}

void TTzDbf::s_RestoreWithLock() {
  const std::optional<bool> heldBefore = lockCurrentRecord(m_onRLockFailedOnRestore, "Restore");
  if (!heldBefore) return;
  writeFlag(m_recNo, static_cast<char>(kLiveFlag), "Restore");
  readRecord(m_recNo);
  if (!*heldBefore) UnLock();
}

// --- Storage-layer operations ---------------------------------------------------------

void TTzDbf::throwInactive(const char* operation) const {
  throw ETableError(TableErrorCode::kInvalidOperation,
                    "Database is not open [" + m_name + "." + std::string(operation) + "]");
}

int TTzDbf::fieldIndex(const std::string& fieldName) const {
  // Callers mostly go through the fields in their order, so the field after
  // the last one found is tried first; its whole name matching is the answer
  // when no two fields share a name. This runs for every field access of
  // every visit, so it stays small; the search is apart.
  const std::size_t count = m_header.fields.size();
  const std::size_t next = m_lastField + 1 < count ? m_lastField + 1 : 0;
  if (!m_duplicateNames && next < count) {
    const std::string& key = m_header.fields[next].name;
    if (fieldName.size() == key.size() &&
        (key.size() >= 8 ? sameWords(fieldName.data(), key.data(), key.size())
                         : sameName(fieldName, key, std::string::npos))) {
      m_lastField = next;
      return static_cast<int>(next);
    }
  }
  return searchField(fieldName);
}

int TTzDbf::searchField(const std::string& fieldName) const {
  // Level 7 names run to 31 characters and may share their first 10
  // (ADDRESS_LINE1, ADDRESS_LINE2): the whole stored name decides first, the
  // classic 10-character match only when no name matches in full.
  for (std::size_t limit : {std::string::npos, kMaxNameLength}) {
    for (std::size_t i = 0; i < m_header.fields.size(); ++i) {
      if (sameName(fieldName, m_header.fields[i].name, limit)) {
        m_lastField = i;
        return static_cast<int>(i);
      }
    }
  }
  return -1;
}

std::string_view TTzDbf::fieldView(int index) const {
  return kestrel::fieldView(m_record, m_header.fields.at(static_cast<std::size_t>(index)));
}

const FieldDescriptor& TTzDbf::fieldNamed(const std::string& fieldName,
                                          const char* operation) const {
  int index = fieldIndex(fieldName);
  if (index < 0) {
    throw ETableError(220, "Field \"" + fieldName + "\" not in \"" + messagePath(m_fileName) +
                               "\" [" + std::string(operation) + "]");
  }
  return m_header.fields[static_cast<std::size_t>(index)];
}

void TTzDbf::beginEdit() {
  if (m_state == TDataSetState::dsBrowse) Edit();
}

void TTzDbf::ClearRecord() {
  checkActive("ClearRecord");
  if (m_state == TDataSetState::dsBrowse) {
    m_state = (m_recNo == 0 || !holdsRecord(1)) ? TDataSetState::dsInsert : TDataSetState::dsEdit;
    m_recordBefore = m_record;
  }
  blankRecord();
}

void TTzDbf::SetFieldText(const std::string& fieldName, const std::string& text) {
  checkActive("SetFieldText");
  const FieldDescriptor& field = fieldNamed(fieldName, "SetFieldText");
  beginEdit();
  switch (field.type) {
    case 'D':
      putDate(m_record, field, dateFromFieldText(text));
      break;
    case 'N':
    case 'F':
      // An empty text clears the field, as it does for the other types.
      if (trimSpaces(text).empty()) {
        putText(m_record, field, std::string());
      } else {
        putNumber(m_record, field, parseNumberText(text));
      }
      break;
    case 'L':
      if (trimSpaces(text).empty()) {
        putText(m_record, field, std::string());
      } else {
        putLogical(m_record, field, readLogical(trimSpaces(text)));
      }
      break;
    case 'M':
      putMemoBlock(m_record, field, text.empty() ? 0 : addMemo(text, "SetFieldText"));
      break;
    default:
      putText(m_record, field, text);
      break;
  }
}

std::string TTzDbf::GetFieldText(const std::string& fieldName) {
  checkActive("GetFieldText");
  const FieldDescriptor& field = fieldNamed(fieldName, "GetFieldText");
  const std::string_view bytes = kestrel::fieldView(m_record, field);
  switch (field.type) {
    case 'D':
      return dateText(bytes);
    case 'N':
    case 'F': {
      // The number right-aligned in the field's width, whatever blanks the
      // file had around it.
      const std::size_t first = bytes.find_first_not_of(' ');
      const std::string_view value =
          first == std::string_view::npos
              ? std::string_view()
              : bytes.substr(first, bytes.find_last_not_of(' ') - first + 1);
      const std::size_t width = static_cast<std::size_t>(field.length);
      std::string text(value.size() < width ? width - value.size() : 0, ' ');
      text += value;
      return text;
    }
    case 'L':
      return readLogical(bytes) ? "T" : "F";
    case 'M': {
      std::string text = memoText(field);
      if (m_language == TTableLanguage::tlOem && looksLikeText(text)) oemToAnsiInPlace(text);
      return text;
    }
    default:
      return std::string(bytes);
  }
}

std::string TTzDbf::dateText(std::string_view bytes) {
  const ProgramDateFormat& format = programDateFormat();
  if (m_lastDate.text.empty() || bytes != m_lastDate.bytes || !(format == m_lastDate.format)) {
    const auto date = readDate(bytes);
    m_lastDate.text = date ? formatProgramDate(*date) : blankDateTemplate();
    m_lastDate.bytes.assign(bytes);
    m_lastDate.format = format;
  }
  return m_lastDate.text;
}

std::uint32_t TTzDbf::addMemo(const std::string& text, const std::string& operation) {
  std::string stored = text;
  if (m_language == TTableLanguage::tlOem && looksLikeText(stored)) ansiToOemInPlace(stored);
  return addStoredMemo(stored, operation);
}

std::uint32_t TTzDbf::addStoredMemo(const std::string& stored, const std::string& operation) {
  if (!m_memo.isOpen())
    throw ETableError(TableErrorCode::kNoMemoFile,
                      messagePath(m_fileName) + " [" + operation + "]");
  if (m_readOnly)
    throw ETableError(TableErrorCode::kAccessDenied,
                      messagePath(m_memo.path()) + " [" + operation + "]");
  return m_memo.add(stored, !m_exclusive, operation);
}

std::string TTzDbf::memoText(const FieldDescriptor& field) const {
  const std::uint32_t block = readMemoBlock(fieldBytes(m_record, field));
  if (block == 0 || !m_memo.isOpen()) return std::string();
  return m_memo.read(block, m_recNo);
}

bool TTzDbf::ALock() {
  checkActive("ALock");
  if (m_exclusive || m_appendLocked) return true;
  if (!m_lockedRecords.empty()) return false;
  m_readAhead.drop();
  if (m_file.tryLock(kAppendLockOffset, 1, OsFile::LockKind::Exclusive) != 0) return false;
  m_appendLocked = true;
  return true;
}

void TTzDbf::UnLock() {
  checkActive("UnLock");
  m_readAhead.drop();
  int error = 0;
  if (m_appendLocked) {
    error = m_file.unlock(kAppendLockOffset, 1);
    m_appendLocked = false;
  }
  for (std::uint32_t recNo : m_lockedRecords) {
    int e = m_file.unlock(kLockBase + recordOffset(recNo), m_header.recordLength);
    if (error == 0) error = e;
  }
  m_lockedRecords.clear();
  if (error != 0) {
    throw ETableError(
        error == EAGAIN ? TableErrorCode::kLockViolation : tableErrorCodeFromErrno(error, true),
        "Error attempting to UNLOCK file " + messagePath(m_fileName) + " in Workarea " +
            std::to_string(m_workArea));
  }
}

bool TTzDbf::holdsRecordLock(std::uint32_t recNo) const {
  return std::find(m_lockedRecords.begin(), m_lockedRecords.end(), recNo) != m_lockedRecords.end();
}

bool TTzDbf::lockRecord(std::uint32_t recNo) {
  if (m_exclusive || holdsRecordLock(recNo)) return true;
  if (m_appendLocked) return false;
  m_readAhead.drop();
  if (m_file.tryLock(kLockBase + recordOffset(recNo), m_header.recordLength,
                     OsFile::LockKind::Exclusive) != 0) {
    return false;
  }
  m_lockedRecords.push_back(recNo);
  return true;
}

void TTzDbf::checkMayAppend() const {
  if (m_readOnly)
    throw ETableError(TableErrorCode::kAccessDenied,
                      messagePath(m_fileName) + " is open read-only [APPEND]");
  if (!m_exclusive && !m_appendLocked) {
    throw ETableError(TableErrorCode::kAccessDenied,
                      "File must be locked to append: " + messagePath(m_fileName) + " [APPEND]");
  }
}

void TTzDbf::AppendRec() {
  checkActive("AppendRec");
  checkMayAppend();
  appendStoredRecord(encodedRecord());
}

void TTzDbf::appendStoredRecord(std::string bytes) {
  const std::int64_t oldSize = m_file.size();
  if (oldSize < 0)
    throw ETableError(TableErrorCode::kReadError,
                      "Error reading " + messagePath(m_fileName) + " [APPEND]");
  const std::uint32_t count = m_exclusive ? m_count : countFromFileSize(oldSize);
  const std::int64_t offset = recordOffset(count + 1);
  // The record and a new end-of-file byte go out in one write, so the file
  // always ends with exactly one 0x1A after its last record.
  bytes += static_cast<char>(kEndOfFile);
  const auto writeError = [this] {
    return "Error writing " + messagePath(m_fileName) + " [APPEND]";
  };
  if (count >= 0xFFFFFFFEu ||
      offset + static_cast<std::int64_t>(bytes.size()) > kMaxTableFileSize) {
    throw ETableError(TableErrorCode::kWriteError, writeError());
  }
  // What the write covers of the file as it is, to put back should it fail:
  // usually just the end-of-file byte, known from counting the records.
  std::string previous;
  if (oldSize > offset) {
    const std::size_t covered = static_cast<std::size_t>(
        std::min<std::int64_t>(oldSize - offset, static_cast<std::int64_t>(bytes.size())));
    if (m_countedSize == oldSize && offset + static_cast<std::int64_t>(m_tail.size()) == oldSize) {
      previous = m_tail.substr(0, covered);
    } else {
      previous.resize(covered);
      std::size_t got = 0;
      if (int error = m_file.readAt(offset, previous.data(), previous.size(), got)) {
        throw ETableError(tableErrorCodeFromErrno(error, false),
                          "Error reading " + messagePath(m_fileName) + " [APPEND]");
      }
      previous.resize(got);
    }
  }
  m_readAhead.drop();
  if (int error = m_file.writeAt(offset, bytes.data(), bytes.size())) {
    // Leave the file as it was before this record (best effort: the write
    // error is what the caller must see either way).
    forgetFileBytes();
    (void)m_file.truncate(oldSize);
    if (!previous.empty()) (void)m_file.writeAt(offset, previous.data(), previous.size());
    throw ETableError(tableErrorCodeFromErrno(error, true), writeError());
  }
  // The file now ends with this record and its end-of-file byte, unless it
  // was longer than that before (padding that stays).
  const std::int64_t end = offset + static_cast<std::int64_t>(bytes.size());
  if (end >= oldSize) {
    m_countedSize = end;
    m_tail.assign(1, static_cast<char>(kEndOfFile));
  } else {
    m_countedSize = -1;
  }
  if (m_exclusive) {
    m_count = count + 1;
  } else {
    m_knownCount = count + 1;
  }
  if (m_index) m_index->recordWritten(count + 1, std::string(), bytes);
  m_recNo = count + 1;
  m_bof = false;
  m_eof = false;
  m_appended = true;
  m_state = TDataSetState::dsBrowse;
}

void TTzDbf::DeleteRec() {
  checkActive("DeleteRec");
  if (!m_exclusive && !holdsRecordLock(m_recNo)) {
    throw ETableError(TableErrorCode::kRecordNotLocked,
                      messagePath(m_fileName) + " Record not locked [DeleteRec]");
  }
  m_state = TDataSetState::dsBrowse;
  if (m_recNo >= 1 && holdsRecord(m_recNo)) {
    writeFlag(m_recNo, static_cast<char>(kDeletedFlag), "DeleteRec");
    readRecord(m_recNo);
  }
}

}  // namespace kestrel
