#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "dbase/MdxFormat.h"
#include "dbase/OsFile.h"

namespace kestrel {

// Builds an index file of one tag from a table's records, in the order the
// table component needs: create the empty file, check the tag, check the
// disk space, read every record once while sorting, write the index once.
// The table component keeps what concerns the table itself (closing an old
// index, the erase-or-exclusive rule, reopening, logging on).
class MdxBuilder {
 public:
  struct Request {
    std::string indexPath;
    // The index file the table has claimed, written in place; none: a file
    // is made at indexPath.
    OsFile* file = nullptr;
    std::string tableName;   // without folder and extension
    std::string expression;  // the field name
    char fieldType = 'C';
    std::size_t fieldLength = 0;
    std::uint64_t recordCount = 0;  // for the disk-space check
    std::uint64_t freeDiskBytes = 0;
    std::size_t memoryBudget = std::size_t{64} << 20;
    std::string tempFolder;  // empty: the system's temporary folder
    mdx::MdxDate today;
  };
  // Receives one record's field bytes as stored and its record number.
  using RecordSink = std::function<void(std::string_view fieldBytes, std::uint32_t recNo)>;
  // Calls the sink once for every record, deleted ones included.
  using RecordSource = std::function<void(const RecordSink&)>;

  // Throws IndexError: 254 or 266 for the field, 300 for the expression, 227
  // for the disk space (each after the empty file was made), or an OS error.
  static void build(const Request& request, const RecordSource& records);

  // Free bytes for an unprivileged user on the file system of the folder.
  static std::uint64_t freeDiskBytes(const std::string& folder);
};

}  // namespace kestrel
