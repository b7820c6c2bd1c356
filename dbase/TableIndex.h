#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "dbase/FieldDescriptor.h"
#include "dbase/OsFile.h"

namespace kestrel {

class IndexError;
class ETableError;
class MdxReader;
class SemaphoreFile;

// The index a table has open as its current order: the index file held open
// (a lock byte far beyond its data tells other processes it is in use, so
// they cannot erase it), the reader that visits its tag, and for a shared
// table the semaphore file that counts the processes with an index open and
// keeps changes of the index apart from reads through it.
class TableIndex {
 public:
  // `claimed`: the index file as claimForBuild left it after the build; its
  // in-use lock becomes a shared one for a shared table.
  TableIndex(OsFile claimed, const std::string& indexPath, OsFile& table,
             const std::string& tablePath, bool shared, const FieldDescriptor& field);
  // Logs off the semaphore file, silently.
  ~TableIndex();
  TableIndex(const TableIndex&) = delete;
  TableIndex& operator=(const TableIndex&) = delete;

  // Logs off (erasing the semaphore file after the last process) and closes
  // the files. ETableError 1202 when the semaphore file cannot be locked.
  void close();

  const std::string& path() const { return m_path; }
  const FieldDescriptor& field() const { return m_field; }

  // The walk in key order, named as the table's own walk.
  void First();
  void Next();
  bool Eof() const;
  std::uint32_t RecNo() const;

  // Keeps the tag right after a record was written: `before` is the record's
  // bytes as they were in the file (empty for an appended record), `after`
  // as they are now.
  void recordWritten(std::uint32_t recNo, const std::string& before, const std::string& after);

  // Claims the index file a build is about to write: on success `file` is
  // the file under `indexPath`, open for reading and writing, with its
  // in-use byte locked for writing, so that no other process erases, opens
  // or claims it while it is half written. A missing file is made and
  // locked under another name and then renamed into place, so it is never
  // there unclaimed. Returns 0, EAGAIN when another process holds the file,
  // or the system's error. With `replaceHeld` (the table is ours alone, so
  // the holder is no table user) a held file is replaced by a new one
  // claimed the same way, the holder keeping its copy.
  static int claimForBuild(const std::string& indexPath, OsFile& file, bool replaceHeld);

  // The index file of an index name: "MDX" added when it has no extension,
  // in the table's folder when the name has no folder.
  static std::string indexPathFor(const std::string& tablePath, const std::string& indexName);

  // The index code's errors raised again as the storage layer's.
  static ETableError asTableError(const IndexError& error);

 private:
  // A new file made and locked under a name of its own, then renamed to
  // `indexPath` (over a file there only with `replace`; EEXIST otherwise).
  static int placeClaimed(const std::string& indexPath, OsFile& file, bool replace);

  // A turn of the semaphore around a step: reads of the index file share
  // one, a change has it alone. The turn ends also when the step throws.
  enum class Turn { Read, Change };
  template <typename Step>
  void inTurn(Turn turn, Step step);
  // A step in a read turn, its index errors raised as the storage layer's.
  template <typename Step>
  void reading(Step step);

  std::string m_path;
  FieldDescriptor m_field;
  OsFile m_tableForLocks;  // declared before the semaphore, which uses it
  std::unique_ptr<MdxReader> m_reader;
  std::unique_ptr<SemaphoreFile> m_semaphore;
};

}  // namespace kestrel
