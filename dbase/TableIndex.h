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
  TableIndex(const std::string& indexPath, const OsFile& table, const std::string& tablePath,
             bool shared, const FieldDescriptor& field);
  // Logs off the semaphore file, silently.
  ~TableIndex();
  TableIndex(const TableIndex&) = delete;
  TableIndex& operator=(const TableIndex&) = delete;

  // Logs off (erasing the semaphore file after the last process) and closes
  // the files. ETableError 1202 when the semaphore file cannot be locked.
  void close();

  const std::string& path() const { return m_path; }
  const FieldDescriptor& field() const { return m_field; }

  void first();
  void next();
  bool eof() const;
  std::uint32_t recNo() const;

  // Keeps the tag right after a record was written: `before` is the record's
  // bytes as they were in the file (empty for an appended record), `after`
  // as they are now.
  void recordWritten(std::uint32_t recNo, const std::string& before, const std::string& after);

  // Erases an index file no process holds open. False when another process
  // has it open (or it cannot be erased); true when it is gone.
  static bool tryErase(const std::string& indexPath);

  // The index file of an index name: "MDX" added when it has no extension,
  // in the table's folder when the name has no folder.
  static std::string indexPathFor(const std::string& tablePath, const std::string& indexName);

  // The index code's errors raised again as the storage layer's.
  static ETableError asTableError(const IndexError& error);

 private:
  template <typename Step>
  void reading(Step step);

  std::string m_path;
  FieldDescriptor m_field;
  OsFile m_file;
  OsFile m_tableForLocks;  // declared before the semaphore, which uses it
  std::unique_ptr<MdxReader> m_reader;
  std::unique_ptr<SemaphoreFile> m_semaphore;
};

}  // namespace kestrel
