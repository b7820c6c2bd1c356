#include "dbase/TableHeader.h"

#include <algorithm>
#include <iterator>

#include "dbase/ByteOrder.h"
#include "dbase/DbfLayout.h"
#include "dbase/ETableError.h"
#include "dbase/FilePath.h"
#include "dbase/MessagePath.h"
#include "dbase/OsFile.h"

namespace kestrel {
namespace {

using namespace dbf;

// The version bytes of dBASE III and later tables, with the record layout and
// the memo file each one names.
struct KnownVersion {
  unsigned char version;
  TableLayout layout;
  MemoLayout memo;
};
constexpr KnownVersion kVersions[] = {
    {kVersionDbase3, TableLayout::Dbase3, MemoLayout::None},
    {kVersionDbase3Memo, TableLayout::Dbase3, MemoLayout::Dbase3},
    {kVersionDbase4Memo, TableLayout::Dbase3, MemoLayout::Dbase4},
    {kVersionLevel7, TableLayout::Level7, MemoLayout::None},
    {kVersionLevel7Memo, TableLayout::Level7, MemoLayout::Dbase4},
    {kVersionFoxPro, TableLayout::Dbase3, MemoLayout::FoxPro},
};

[[noreturn]] void notDbase(const std::string& who, const std::string& why) {
  throw ETableError(TableErrorCode::kNotDbase,
                    messagePath(who) + " is not a dBASE database." + why);
}

std::string readError(const std::string& path) {
  return "Error reading " + messagePath(path) + " [Use/OpenDbf]";
}

// The first bytes of the file, `size` of them (fewer when the file is
// shorter): taken from what the caller read already when that holds them,
// else read now in one piece. Opening a table thus costs one read for the
// prologue and every descriptor instead of one or two per field.
class LeadingBytes {
 public:
  LeadingBytes(const OsFile& file, std::int64_t fileSize, const std::string& path,
               std::string_view leading)
      : m_file(file), m_fileSize(fileSize), m_path(path), m_bytes(leading) {}

  const unsigned char* first(std::size_t size) {
    size = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(size), m_fileSize));
    if (m_bytes.size() < size) {
      m_storage.assign(size, '\0');
      std::size_t got = 0;
      const int error = m_file.readAt(0, m_storage.data(), size, got);
      if (error != 0) throw ETableError(tableErrorCodeFromErrno(error, false), readError(m_path));
      if (got != size) throw ETableError(TableErrorCode::kReadError, readError(m_path));
      m_bytes = m_storage;
    }
    return reinterpret_cast<const unsigned char*>(m_bytes.data());
  }

 private:
  const OsFile& m_file;
  std::int64_t m_fileSize;
  const std::string& m_path;
  std::string_view m_bytes;
  std::string m_storage;
};

// Name up to the first 0x00 (or `maxLength` characters), upper-cased.
std::string descriptorName(const unsigned char* p, std::size_t maxLength) {
  std::size_t length = 0;
  while (length < maxLength && p[length] != 0) ++length;
  std::string name(reinterpret_cast<const char*>(p), length);
  for (char& c : name) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return name;
}

// B, G and P (either case) are memo-like; any other letter but the six valid
// upper-case ones refuses the file.
char checkedType(unsigned char raw, const std::string& name, const std::string& path) {
  const char type = static_cast<char>(raw);
  if (type != '\0' && std::string_view("BGPbgp").find(type) != std::string_view::npos) return 'M';
  if (type != '\0' && std::string_view("CDFLMN").find(type) != std::string_view::npos) return type;
  throw ETableError(TableErrorCode::kInvalidFieldType,
                    "Field: " + name + " [" + std::string(1, type) + "] in " + messagePath(path) +
                        " is not a valid field type");
}

void finishFields(TableHeader& header, const std::string& path) {
  std::size_t offset = 1;
  for (FieldDescriptor& field : header.fields) {
    field.offset = offset;
    offset += static_cast<std::size_t>(field.length);
  }
  // The record must hold every field; a longer record (padding) is harmless.
  if (header.recordLength < offset) {
    notDbase(path, " (Record length does not match the fields) [USE/OpenDBF]");
  }
}

void readDbase3Fields(TableHeader& header, LeadingBytes& file, std::int64_t fileSize,
                      const std::string& path, bool level7) {
  const std::size_t start = level7 ? kLevel7HeaderSize : kHeaderSize;
  const std::size_t size = level7 ? kLevel7DescriptorSize : kDescriptorSize;
  const long long count =
      (static_cast<long long>(header.headerLength) - static_cast<long long>(start)) /
      static_cast<long long>(size);
  if (header.headerLength < start || count < kMinFields || count > kMaxFields) {
    notDbase(fileNameOf(path), " (Number of fields is out of range) [Use/OpenDbf]");
  }
  const unsigned char* bytes = file.first(start + static_cast<std::size_t>(count) * size);
  header.fields.reserve(static_cast<std::size_t>(count));
  for (long long i = 0; i < count; ++i) {
    const std::int64_t at = static_cast<std::int64_t>(start + static_cast<std::size_t>(i) * size);
    if (at >= fileSize) throw ETableError(TableErrorCode::kReadError, readError(path));
    const unsigned char* p = bytes + at;
    if (p[0] == kDescriptorTerminator) break;
    if (at + static_cast<std::int64_t>(size) > fileSize)
      throw ETableError(TableErrorCode::kReadError, readError(path));
    FieldDescriptor field;
    if (level7) {
      field.name = descriptorName(p, kLevel7NameSize - 1);
      field.type = checkedType(p[kLevel7TypeOffset], field.name, path);
      field.length = p[kLevel7LengthOffset];
      field.decimals = p[kLevel7DecimalsOffset];
    } else {
      field.name = descriptorName(p, kNameFieldSize);
      field.type = checkedType(p[kDescriptorTypeOffset], field.name, path);
      field.length = p[kDescriptorLengthOffset];
      field.decimals = p[kDescriptorDecimalsOffset];
    }
    header.fields.push_back(std::move(field));
  }
  if (header.fields.empty()) throw ETableError(TableErrorCode::kCorruptedIndex, readError(path));
}

void readDbase2(TableHeader& header, LeadingBytes& file, std::int64_t fileSize,
                const std::string& path) {
  if (fileSize <= static_cast<std::int64_t>(kDbase2HeaderLength) - 1) {
    notDbase(path, "(Header is less than 521 bytes) [Use/OpenDBF]");
  }
  const unsigned char* p = file.first(kDbase2HeaderLength);
  header.layout = TableLayout::Dbase2;
  header.recordCount = getLe16(p + kDbase2CountOffset);
  header.recordLength = getLe16(p + kDbase2RecordLengthOffset);
  header.headerLength = kDbase2HeaderLength;
  for (std::size_t i = 0; i < kDbase2MaxFields; ++i) {
    const unsigned char* d = p + kDbase2DescriptorsOffset + i * kDbase2DescriptorSize;
    if (d[0] == kDescriptorTerminator) break;
    FieldDescriptor field;
    field.name = descriptorName(d, kNameFieldSize);
    field.type = checkedType(d[kDbase2TypeOffset], field.name, path);
    field.length = d[kDbase2LengthOffset];
    field.decimals = d[kDbase2DecimalsOffset];
    header.fields.push_back(field);
  }
  if (header.fields.empty()) throw ETableError(TableErrorCode::kCorruptedIndex, readError(path));
}

}  // namespace

bool hasMemoFields(const std::vector<FieldDescriptor>& fields) {
  return std::any_of(fields.begin(), fields.end(),
                     [](const FieldDescriptor& f) { return f.type == 'M'; });
}

TableHeader readTableHeader(const OsFile& file, std::int64_t fileSize, const std::string& path,
                            std::string_view leading) {
  if (fileSize < static_cast<std::int64_t>(kHeaderSize)) {
    notDbase(path, " (Prolog is less than 32 bytes) [USE/OpenDBF]");
  }
  if (fileSize > kMaxTableFileSize) {
    notDbase(path, " (File is 2 GB or larger) [USE/OpenDBF]");
  }
  LeadingBytes bytes(file, fileSize, path, leading);
  const unsigned char* p = bytes.first(kHeaderSize);
  TableHeader header;
  header.version = p[kVersionOffset];
  std::copy(p, p + kHeaderSize, header.prologue.begin());
  if (header.version == kVersionDbase2) {
    readDbase2(header, bytes, fileSize, path);
    finishFields(header, path);
    return header;
  }
  const auto known =
      std::find_if(std::begin(kVersions), std::end(kVersions),
                   [&](const KnownVersion& v) { return v.version == header.version; });
  if (known == std::end(kVersions)) notDbase(path, "(Invalid version byte)+ [USE/OpenDBF]");
  header.layout = known->layout;
  header.memo = known->memo;
  header.recordCount = getLe32(p + kRecordCountOffset);
  header.headerLength = getLe16(p + kHeaderLengthOffset);
  header.recordLength = getLe16(p + kRecordLengthOffset);
  readDbase3Fields(header, bytes, fileSize, path, header.layout == TableLayout::Level7);
  finishFields(header, path);
  // A header that claims more bytes than the file has would put the first
  // record after a gap: an append would write there and the count restart.
  if (static_cast<std::int64_t>(header.headerLength) > fileSize) {
    notDbase(path, " (Header length is past the end of the file) [USE/OpenDBF]");
  }
  return header;
}

std::string encodeNewTableHeader(const std::vector<FieldDescriptor>& fields, const Date& date) {
  const std::size_t headerLength = kDescriptorSize * fields.size() + kHeaderSize + 1;
  std::size_t recordLength = 1;
  for (const FieldDescriptor& field : fields)
    recordLength += static_cast<std::size_t>(field.length);
  std::string bytes(headerLength, '\0');
  auto* p = reinterpret_cast<unsigned char*>(bytes.data());
  p[kVersionOffset] = hasMemoFields(fields) ? kVersionDbase4Memo : kVersionDbase3;
  p[kDateOffset] = static_cast<unsigned char>(date.year - 1900);
  p[kDateOffset + 1] = static_cast<unsigned char>(date.month);
  p[kDateOffset + 2] = static_cast<unsigned char>(date.day);
  putLe16(p + kHeaderLengthOffset, static_cast<std::uint16_t>(headerLength));
  putLe16(p + kRecordLengthOffset, static_cast<std::uint16_t>(recordLength));
  for (std::size_t i = 0; i < fields.size(); ++i) {
    unsigned char* d = p + kHeaderSize + i * kDescriptorSize;
    const FieldDescriptor& field = fields[i];
    std::copy_n(field.name.begin(), std::min(field.name.size(), kMaxNameLength), d);
    d[kDescriptorTypeOffset] = static_cast<unsigned char>(field.type);
    d[kDescriptorLengthOffset] = static_cast<unsigned char>(field.length);
    d[kDescriptorDecimalsOffset] = static_cast<unsigned char>(field.decimals);
  }
  p[headerLength - 1] = kDescriptorTerminator;
  return bytes;
}

std::string encodeHeaderRewrite(const TableHeader& header, std::uint32_t recordCount,
                                const Date& date, const unsigned char* foreign) {
  if (header.layout == TableLayout::Dbase2) {
    std::string bytes(header.prologue.begin(), header.prologue.begin() + 8);
    auto* p = reinterpret_cast<unsigned char*>(bytes.data());
    putLe16(p + kDbase2CountOffset,
            static_cast<std::uint16_t>(std::min<std::uint32_t>(recordCount, 0xFFFF)));
    p[kDbase2DateOffset] = static_cast<unsigned char>(date.month);
    p[kDbase2DateOffset + 1] = static_cast<unsigned char>(date.day);
    p[kDbase2DateOffset + 2] = static_cast<unsigned char>(date.year % 100);
    return bytes;
  }
  std::string bytes(header.prologue.begin(), header.prologue.end());
  auto* p = reinterpret_cast<unsigned char*>(bytes.data());
  p[kDateOffset] = static_cast<unsigned char>(date.year - 1900);
  p[kDateOffset + 1] = static_cast<unsigned char>(date.month);
  p[kDateOffset + 2] = static_cast<unsigned char>(date.day);
  putLe32(p + kRecordCountOffset, recordCount);
  std::copy_n(foreign, kForeignAreaSize, p + kForeignAreaOffset);
  return bytes;
}

}  // namespace kestrel
