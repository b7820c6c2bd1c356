#include "dbase/MdxBuilder.h"

#include <sys/statvfs.h>

#include <cerrno>
#include <optional>
#include <vector>

#include "dbase/ExternalSort.h"
#include "dbase/IndexError.h"
#include "dbase/IndexKey.h"
#include "dbase/MdxWriter.h"

namespace kestrel {

void MdxBuilder::build(const Request& request, const RecordSource& records) {
  std::optional<MdxWriter> writer;
  if (request.file) {
    writer.emplace(*request.file, request.indexPath, request.tableName, request.today);
  } else {
    writer.emplace(request.indexPath, request.tableName, request.today);
  }
  const IndexKey key = IndexKey::forField(request.fieldType, request.fieldLength);
  MdxWriter::checkExpression(request.expression);
  MdxWriter::checkDiskSpace(request.freeDiskBytes, request.recordCount,
                            mdx::entryLength(key.length()));

  ExternalSort sort(key, request.memoryBudget, request.tempFolder);
  std::vector<unsigned char> bytes(key.length());
  records([&](std::string_view field, std::uint32_t recNo) {
    key.encode(field, bytes.data());
    sort.add(bytes.data(), recNo);
  });
  sort.finish();

  // The tag has as many entries as were read (a shared table may have grown
  // since it was counted).
  writer->beginTag(key, request.expression, sort.size());
  const unsigned char* k = nullptr;
  std::uint32_t recNo = 0;
  while (sort.next(k, recNo)) writer->add(k, recNo);
  writer->finish();
}

std::uint64_t MdxBuilder::freeDiskBytes(const std::string& folder) {
  struct statvfs fs {};
  if (::statvfs(folder.c_str(), &fs) != 0)
    throw IndexError::fromErrno(errno, folder + " [MakeIndex]");
  return static_cast<std::uint64_t>(fs.f_bavail) * fs.f_frsize;
}

}  // namespace kestrel
