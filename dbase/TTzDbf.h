#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dbase/DataSet.h"
#include "dbase/DbfLayout.h"
#include "dbase/FieldDescriptor.h"
#include "dbase/MemoFile.h"
#include "dbase/OsFile.h"
#include "dbase/ReadAhead.h"
#include "dbase/TableHeader.h"
#include "dbase/TableIndex.h"

namespace kestrel {

enum class TTableLanguage { tlOem, tlAnsi };
enum class TCreateIndex { ciNotFound, ciAlways, ciVerifyHeader, ciNever };

// The table component: one dBASE table file, its record buffer and its locks,
// offered as a data set (open, close, visit, insert/edit/post/cancel/delete)
// to the program's code, the report engine and the data-aware controls.
//
// Several processes may share a table: shared opens see each other's appends
// at once (the record count comes from the file size), appends are serialised
// by the append-lock byte and in-place writes by record locks. Every lock
// request is one attempt. Errors are ETableError; warnings go through
// SetWarningHandler.
class TTzDbf : public DataSet {
 public:
  explicit TTzDbf(std::string name = std::string());
  // Closes the table; errors while closing are dropped here (call Close to see them).
  ~TTzDbf() override;

  // --- Settings -----------------------------------------------------------------
  const std::string& Name() const { return m_name; }
  const std::string& DbfFileName() const { return m_fileName; }
  // Closes an open table, trims blanks, adds ".DBF" when the name has no
  // extension (and does not end in "."), and reopens when it was open.
  void SetDbfFileName(const std::string& fileName);
  const std::vector<std::string>& DbfFields() const { return m_fieldDefinitions; }
  void SetDbfFields(std::vector<std::string> definitions);
  TTableLanguage TableLanguage() const { return m_language; }
  void SetTableLanguage(TTableLanguage language) { m_language = language; }
  bool HideDeletedRecs() const { return m_hideDeleted; }
  void SetHideDeletedRecs(bool hide) { m_hideDeleted = hide; }
  bool Exclusive() const { return m_exclusive; }
  // On an open table: closes it (writing back) and opens it in the new mode;
  // when that open fails the table stays closed.
  void SetExclusive(bool exclusive);
  bool ReadOnly() const { return m_readOnly; }
  void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
  bool CreateIfNotFound() const { return m_createIfNotFound; }
  void SetCreateIfNotFound(bool create) { m_createIfNotFound = create; }
  TCreateIndex CreateIndex() const { return m_createIndex; }
  void SetCreateIndex(TCreateIndex mode) { m_createIndex = mode; }
  bool AutoFixRecCount() const { return m_autoFixRecCount; }
  void SetAutoFixRecCount(bool fix) { m_autoFixRecCount = fix; }
  bool ShowProgress() const { return m_showProgress; }
  void SetShowProgress(bool show) { m_showProgress = show; }

  // Events: each may ask for one more lock attempt by returning true.
  using LockFailedEvent = std::function<bool()>;
  void SetOnALockFailedOnInsert(LockFailedEvent event) {
    m_onALockFailedOnInsert = std::move(event);
  }
  void SetOnRLockFailedOnDelete(LockFailedEvent event) {
    m_onRLockFailedOnDelete = std::move(event);
  }
  void SetOnRLockFailedOnRestore(LockFailedEvent event) {
    m_onRLockFailedOnRestore = std::move(event);
  }
  void SetOnRLockFailedOnPost(LockFailedEvent event) { m_onRLockFailedOnPost = std::move(event); }

  // --- Open and close -------------------------------------------------------------
  void Open() override;
  void Close() override;
  bool Active() const override { return m_file.isOpen(); }
  void SetActive(bool active);

  // --- Visiting ---------------------------------------------------------------------
  std::uint32_t RecordCount() override;
  std::uint32_t RecNo() const override { return m_recNo; }
  void First() override;
  void Next() override;
  void Prior() override;
  void Last() override;
  bool Eof() const override { return m_eof; }
  bool Bof() const override { return m_bof; }
  // Reads the current record again from the file.
  void Refresh();
  // Whether the current record (as in the buffer) is marked deleted.
  bool Deleted() const override;

  // --- Data-set protocol ----------------------------------------------------------
  TDataSetState State() const override { return m_state; }
  void Insert() override;
  void Edit() override;
  // Insert: append under the append lock; edit: rewrite under the record lock.
  void Post() override;
  void Cancel() override;
  // Marks the current record deleted under its record lock.
  void Delete() override;
  // Removes the deleted mark of the current record under its record lock.
  void Restore();

  // --- Storage-layer operations ---------------------------------------------------
  void ClearRecord();
  void SetFieldText(const std::string& fieldName, const std::string& text) override;
  std::string GetFieldText(const std::string& fieldName) override;
  bool ALock();
  void UnLock();
  void AppendRec();
  void DeleteRec();

  // --- Index order, packing, appending, memos as lines --------------------------------
  // Builds the index file of one tag on the field named by keyExpression and
  // makes it the current order until the table is closed. The caller then
  // positions with First.
  bool IndexOnOne(const std::string& keyExpression, const std::string& indexName);
  // Whether an index order is active, and its file.
  bool hasIndexOrder() const { return m_index != nullptr; }
  std::string indexPath() const { return m_index ? m_index->path() : std::string(); }
  // Bytes the index build may hold in memory before it sorts in runs
  // through a temporary file; and where that file goes (empty: the system's).
  void setIndexMemoryBudget(std::size_t bytes) { m_indexMemoryBudget = bytes; }
  void setIndexTempFolder(std::string folder) { m_indexTempFolder = std::move(folder); }
  // Removes the records marked deleted. False, with nothing changed, when a
  // shared table cannot be had exclusively.
  bool Pack();
  // Appends every record of another table file, matching fields by name.
  void AppendFrom(const std::string& fileName);
  // The current record's memo as lines, and a list stored as its new memo.
  void GetMField(const std::string& fieldName, std::vector<std::string>& lines) override;
  void SetMField(const std::string& fieldName, const std::vector<std::string>& lines) override;
  // Memo streams of a data-aware memo control: the current record's memo as
  // program text, and a new memo from program text (its block number goes
  // into the record buffer; the following post writes the record).
  std::string readMemoStream(const std::string& fieldName);
  void writeMemoStream(const std::string& fieldName, const std::string& text);

  // --- Structure --------------------------------------------------------------------
  const std::vector<FieldDescriptor>& fields() const { return m_header.fields; }
  int FieldCount() const override { return static_cast<int>(m_header.fields.size()); }
  std::string FieldName(int index) const override { return m_header.fields.at(index).name; }
  char FieldType(int index) const override { return m_header.fields.at(index).type; }
  int FieldLength(int index) const override { return m_header.fields.at(index).length; }
  // Index of the field (its whole name, else its first 10 characters; any
  // case), or -1.
  int fieldIndex(const std::string& fieldName) const;
  // The current record's bytes of field `index` as program text, as the file
  // stores them (padding included); valid until the record changes.
  std::string_view fieldView(int index) const;
  unsigned char versionByte() const { return m_header.version; }
  std::uint32_t headerLength() const { return m_header.headerLength; }
  std::uint32_t recordLength() const { return m_header.recordLength; }
  int workArea() const { return m_workArea; }
  const std::string& alias() const { return m_alias; }
  bool holdsAppendLock() const { return m_appendLocked; }

 private:
  // fieldIndex past its guess.
  int searchField(const std::string& fieldName) const;
  // A date field's text in the program's format.
  std::string dateText(std::string_view bytes);
  // Inline: every field access of a visit asks.
  void checkActive(const char* operation) const {
    if (!Active()) throwInactive(operation);
  }
  [[noreturn]] void throwInactive(const char* operation) const;
  const FieldDescriptor& fieldNamed(const std::string& fieldName, const char* operation) const;
  void createIfMissing();
  void openFiles();
  void releaseAll();
  void writeBack();
  // The header with the count and, after appends, the end-of-file byte,
  // where no other process can be appending.
  void writeHeaderAndEnd();
  void rewriteHeader(std::uint32_t count, const std::string& operation);
  // The 32 header bytes as the file holds them now (a failed read is an error).
  void readHeaderBytes(unsigned char (&before)[dbf::kHeaderSize], const std::string& operation);
  // Writes the header with this count over `before`, keeping its bytes 16-27.
  void writeHeader(std::uint32_t count, const unsigned char (&before)[dbf::kHeaderSize],
                   const std::string& operation);
  // The records a shared file of this size holds (a size of -1, the file's
  // size now).
  std::uint32_t countFromFileSize(std::int64_t size = -1) const;
  // The last record of a file whose slot `padding`, past the header's
  // count, holds no record (padding after the end-of-file byte): a bounded
  // read of the last slots, then a halving search.
  std::uint32_t lastRecordBefore(std::uint32_t padding) const;
  // Whether record `recNo` exists, looking at the file size again only past
  // the last count.
  bool holdsRecord(std::uint32_t recNo);
  std::int64_t recordOffset(std::uint32_t recNo) const;
  // A record as program text into `into`; `forward`: a forward visit,
  // which may read a window ahead.
  void loadRecord(std::uint32_t recNo, std::string& into, bool forward);
  void readRecord(std::uint32_t recNo);
  // What this table remembers of the file's bytes (the read-ahead window and
  // the bytes after the last record) is forgotten: this process changed the
  // file's end or its length.
  void forgetFileBytes();
  // The file ends with exactly one end-of-file byte right after record `count`.
  bool endsRightAfter(std::uint32_t count) const;
  void blankRecord();
  std::string encodedRecord() const;
  void writeRecordAt(std::uint32_t recNo, const std::string& bytes, const std::string& operation);
  void writeFlag(std::uint32_t recNo, char flag, const std::string& operation);
  void checkBrowseMode();
  void beginEdit();
  void positionOn(std::uint32_t recNo, int step);
  bool lockRecord(std::uint32_t recNo);
  bool holdsRecordLock(std::uint32_t recNo) const;
  bool withRetries(const std::function<bool()>& attempt, const LockFailedEvent& event);
  // Locks the current record for a write, retried while `event` asks; a
  // refusal is the warning "Lock failed [operation]" and gives nothing,
  // otherwise whether the lock was held before.
  std::optional<bool> lockCurrentRecord(const LockFailedEvent& event, const char* operation);
  // A table open read-only, or shared without the append lock, refuses appends.
  void checkMayAppend() const;
  // Delete and Restore act on the record shown, an edit of it cancelled
  // first: whether there is one in the file.
  bool onStoredRecord(const char* operation);
  std::uint32_t addMemo(const std::string& text, const std::string& operation);
  std::uint32_t addStoredMemo(const std::string& stored, const std::string& operation);
  // The raw text of the current record's memo in this field ("" for block 0).
  std::string memoText(const FieldDescriptor& field) const;
  const FieldDescriptor& memoFieldNamed(const std::string& fieldName, const char* operation) const;
  std::string fetchRawRecord(std::uint32_t recNo) const;
  // Every record's raw bytes in physical order, read in large pieces.
  void scanRecords(const std::function<void(const char* record, std::uint32_t recNo)>& visit);
  // Closes and opens the table again in the given mode (position lost).
  void reopen(bool exclusive);
  void closeIndex();
  void settleOrdered();
  // The index reader walks forward only: Prior and Last in key order walk
  // from the first entry (record numbers are unique among the entries).
  bool visibleInOrder(std::uint32_t recNo) const;
  void seekOrdered(std::uint32_t recNo);
  void priorOrdered();
  void lastOrdered();
  // Writes the index into the claimed file.
  void buildIndex(const FieldDescriptor& field, const std::string& expression,
                  const std::string& indexPath, OsFile& claimed);
  std::uint32_t compactRecords();
  void packMemoFile();
  void appendRecordsOf(TTzDbf& source);
  // Appends record bytes as the file stores them (code page included);
  // the caller has checked the append lock.
  void appendStoredRecord(std::string bytes);

  // The four write paths of the data-set protocol.
  void s_AppendWithLock();
  void s_DeleteWithLock();
  void s_RestoreWithLock();
  void s_ReplaceWithLock();

  std::string m_name;
  std::string m_fileName;
  std::vector<std::string> m_fieldDefinitions;
  TTableLanguage m_language = TTableLanguage::tlOem;
  bool m_hideDeleted = false;
  bool m_exclusive = false;
  bool m_readOnly = false;
  bool m_createIfNotFound = true;
  TCreateIndex m_createIndex = TCreateIndex::ciNotFound;
  bool m_autoFixRecCount = false;
  bool m_showProgress = true;
  LockFailedEvent m_onALockFailedOnInsert;
  LockFailedEvent m_onRLockFailedOnDelete;
  LockFailedEvent m_onRLockFailedOnRestore;
  LockFailedEvent m_onRLockFailedOnPost;

  // The open table (its work area).
  OsFile m_file;
  MemoFile m_memo;
  TableHeader m_header;
  int m_workArea = 0;
  std::string m_alias;
  std::uint32_t m_count = 0;  // exclusive tables: header count plus appends
  // The file size at which countFromFileSize last found its last whole slot
  // to be a record (-1: none, or a padded file), and the bytes that followed
  // that slot then (what an append writes over).
  mutable std::int64_t m_countedSize = -1;
  mutable std::string m_tail;
  // Shared tables: records known to exist (records never leave a file that
  // others share).
  std::uint32_t m_knownCount = 0;
  ReadAhead m_readAhead;
  std::string m_loaded;  // a record read before it is known to be shown
  // The field fieldIndex found last (fields are mostly asked for in their
  // order), and whether two fields have the same name.
  mutable std::size_t m_lastField = 0;
  bool m_duplicateNames = false;
  // The date text formatted last, with its field bytes and the format: the
  // records of a log come by the day, so most dates are the one before.
  struct FormattedDate {
    std::string bytes;
    ProgramDateFormat format;
    std::string text;
  } m_lastDate;
  std::uint32_t m_recNo = 0;
  bool m_bof = true;
  bool m_eof = true;
  std::string m_record;        // the current record, program text
  std::string m_recordBefore;  // the record as it was when an edit began
  TDataSetState m_state = TDataSetState::dsInactive;
  bool m_appendLocked = false;
  std::vector<std::uint32_t> m_lockedRecords;
  bool m_appended = false;
  bool m_changed = false;
  std::unique_ptr<TableIndex> m_index;
  std::string m_indexExpression;
  std::size_t m_indexMemoryBudget = std::size_t{64} << 20;
  std::string m_indexTempFolder;
};

}  // namespace kestrel
