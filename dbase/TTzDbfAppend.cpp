// The table component's AppendFrom: every record of another table file
// appended, fields matched by name.
#include <sys/stat.h>

#include <algorithm>
#include <optional>

#include "dbase/AsciiText.h"
#include "dbase/CodePage.h"
#include "dbase/DateText.h"
#include "dbase/DbfLayout.h"
#include "dbase/EConvertError.h"
#include "dbase/ETableError.h"
#include "dbase/FieldCodec.h"
#include "dbase/MessagePath.h"
#include "dbase/TTzDbf.h"
#include "dbase/TableCreator.h"

namespace kestrel {
namespace {

using namespace dbf;

bool sameFile(const std::string& a, const std::string& b) {
  struct stat first {};
  struct stat second {};
  return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool sameLayout(const std::vector<FieldDescriptor>& a, const std::vector<FieldDescriptor>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](const FieldDescriptor& x, const FieldDescriptor& y) {
                      return x.name == y.name && x.type == y.type && x.length == y.length &&
                             x.decimals == y.decimals;
                    });
}

bool isNumeric(char type) {
  return type == 'N' || type == 'F';
}

}  // namespace

void TTzDbf::AppendFrom(const std::string& fileName) {
  const Notice notice(*this, DataSetEvent::RecordChanged);
  checkActive("AppendFrom");
  checkBrowseMode();
  const std::string source = withTableExtension(fileName);
  const std::string detail = "[AppendFrom(" + messagePath(source) + ")]";
  if (!fileExists(source)) throw ETableError(TableErrorCode::kFileNotFound, detail);
  if (sameFile(source, m_fileName)) {
    throw ETableError(TableErrorCode::kFileInUse, "Attempting to append file to itself. " + detail);
  }
  TTzDbf from("APPENDFROM" + std::to_string(m_workArea));
  from.SetDbfFileName(source);
  from.SetCreateIfNotFound(false);
  from.SetReadOnly(true);
  from.SetTableLanguage(m_language);
  from.Open();
  appendRecordsOf(from);
}

void TTzDbf::appendRecordsOf(TTzDbf& source) {
  // Pairs of (this table's field, the source's field) matched by name.
  std::vector<std::pair<const FieldDescriptor*, const FieldDescriptor*>> matched;
  for (const FieldDescriptor& field : m_header.fields) {
    const int index = source.fieldIndex(field.name);
    if (index >= 0) matched.emplace_back(&field, &source.fields()[static_cast<std::size_t>(index)]);
  }
  if (matched.empty()) return;
  checkMayAppend();
  const std::uint32_t current = m_recNo;
  const bool copyAsIs = sameLayout(m_header.fields, source.fields());
  const std::string operation = "AppendFrom";
  // Memo texts move as stored: both tables use the same code page rule.
  const auto copyMemo = [&](const std::string& sourceBytes, std::uint32_t recNo) -> std::uint32_t {
    const std::uint32_t block = readMemoBlock(sourceBytes);
    if (block == 0 || !source.m_memo.isOpen()) return 0;
    return addStoredMemo(source.m_memo.read(block, recNo), operation);
  };

  source.scanRecords([&](const char* stored, std::uint32_t recNo) {
    const std::string raw(stored, source.recordLength());
    if (copyAsIs) {
      std::string bytes = raw;
      for (const FieldDescriptor& field : m_header.fields) {
        if (field.type == 'M') putMemoBlock(bytes, field, copyMemo(fieldBytes(raw, field), recNo));
      }
      appendStoredRecord(std::move(bytes));
      return;
    }
    std::string text = raw;  // the source record as program text
    if (m_language == TTableLanguage::tlOem) {
      oemToAnsiInPlace(text.data() + 1, text.data() + text.size());
    }
    blankRecord();
    m_record[0] = raw[0];
    for (const auto& [to, from] : matched) {
      const std::string value = fieldBytes(text, *from);
      const char fromType = from->type;
      switch (to->type) {
        case 'C':
          if (fromType == 'C') {
            putText(m_record, *to, value);
          } else if (isNumeric(fromType)) {
            const std::string number = trimSpaces(value);
            putText(m_record, *to,
                    number.size() > static_cast<std::size_t>(to->length)
                        ? std::string(static_cast<std::size_t>(to->length), '*')
                        : number);
          } else if (fromType == 'L') {
            if (!trimSpaces(value).empty()) putText(m_record, *to, readLogical(value) ? "T" : "F");
          } else if (fromType == 'D') {
            if (auto date = readDate(value)) putText(m_record, *to, formatProgramDate(*date));
          }
          break;
        case 'N':
        case 'F':
          if (isNumeric(fromType) || fromType == 'C') {
            try {
              if (!trimSpaces(value).empty()) putNumber(m_record, *to, parseNumberText(value));
            } catch (const EConvertError&) {
              // Text that is no number leaves the field blank.
            }
          }
          break;
        case 'L':
          if (fromType == 'L') putText(m_record, *to, value);
          break;
        case 'D':
          if (fromType == 'D') {
            putDate(m_record, *to, readDate(value));
          } else if (fromType == 'C') {
            putDate(m_record, *to, parseProgramDate(trimSpaces(value)));
          }
          break;
        case 'M':
          if (fromType == 'M') {
            putMemoBlock(m_record, *to, copyMemo(fieldBytes(raw, *from), recNo));
          } else if (fromType == 'C') {
            const std::size_t end = value.find_last_not_of(' ');
            if (end != std::string::npos) {
              putMemoBlock(m_record, *to, addMemo(value.substr(0, end + 1), operation));
            }
          }
          break;
        default:
          break;
      }
    }
    appendStoredRecord(encodedRecord());
  });

  const std::uint32_t count = RecordCount();
  const std::uint32_t position = current >= 1 && current <= count ? current : count;
  if (position >= 1) {
    readRecord(position);
    m_bof = m_eof = false;
  } else {
    blankRecord();
  }
}

}  // namespace kestrel
