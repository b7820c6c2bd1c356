#include "dbase/TableCreator.h"

#include "dbase/DbfLayout.h"
#include "dbase/ETableError.h"
#include "dbase/FilePath.h"
#include "dbase/MemoFile.h"
#include "dbase/MessagePath.h"
#include "dbase/OsFile.h"
#include "dbase/TableHeader.h"

namespace kestrel {

std::string withTableExtension(const std::string& path) {
  const std::string name = fileNameOf(path);
  if (name.empty() || name.find('.') != std::string::npos) return path;
  // Tables written on other systems often carry ".dbf"; an existing one of
  // those is the table meant, a new table gets ".DBF".
  if (!fileExists(path + ".DBF") && fileExists(path + ".dbf")) return path + ".dbf";
  return path + ".DBF";
}

void createTableFile(const std::string& path, const std::vector<FieldDescriptor>& fields) {
  const std::string name = fileNameOf(path);
  std::string bytes = encodeNewTableHeader(fields, today());
  bytes += static_cast<char>(dbf::kEndOfFile);
  OsFile file;
  int error = file.create(path);
  if (error == 0) error = file.writeAt(0, bytes.data(), bytes.size());
  if (error != 0) {
    file.close();
    (void)removeFile(path);  // nothing half-made is left; the write error is reported
    throw ETableError(tableErrorCodeFromErrno(error, true),
                      "Error writing " + messagePath(name) + ". [CreateDbf]");
  }
  file.close();
  if (hasMemoFields(fields)) {
    const std::string memoPath = MemoFile::memoPathFor(path, MemoLayout::Dbase4);
    if (int memoError = MemoFile::createDbase4(memoPath)) {
      (void)removeFile(memoPath);
      (void)removeFile(path);
      throw ETableError(tableErrorCodeFromErrno(memoError, true),
                        "Cannot create memo file " + messagePath(memoPath) + " [CreateDbf()]");
    }
  }
}

}  // namespace kestrel
