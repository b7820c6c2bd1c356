#include "addresses/NameAddressTransfer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include "addresses/NameAddressLine.h"
#include "addresses/TextLineReader.h"
#include "dbase/CloseOnExit.h"
#include "dbase/MessagePath.h"
#include "dbase/TTzDbf.h"

namespace kestrel {

namespace {

// Progress is told every so many lines or records: often enough for a bar
// that moves, rarely enough to cost nothing.
constexpr std::uint64_t kProgressStep = 500;

void openAddressTable(TTzDbf& table, const std::string& path) {
  table.SetDbfFileName(path);
  table.SetDbfFields(importTableFields());
  table.SetTableLanguage(TTableLanguage::tlOem);
  table.SetExclusive(false);
  table.SetHideDeletedRecs(false);
  table.SetCreateIfNotFound(true);
  table.Open();
  for (const char* field : {"Address", "City", "State", "Zip"}) {
    if (table.fieldIndex(field) < 0)
      throw std::runtime_error("The table " + messagePath(path) + " has no field \"" + field +
                               "\".");
  }
}

std::string systemError(const std::string& what, const std::string& path) {
  return what + " " + messagePath(path) + ": " + std::strerror(errno);
}

}  // namespace

const std::vector<std::string>& importTableFields() {
  static const std::vector<std::string> fields = {"Address,M,10,0", "City,C,20,0", "State,C,4,0",
                                                  "Zip,C,10,0"};
  return fields;
}

ImportOutcome importNameAddressFile(const std::string& textPath, const std::string& tablePath,
                                    bool overwrite, const Utf8Decoder& decodeUtf8,
                                    const TransferProgress& progress) {
  std::ifstream text(textPath, std::ios::binary);
  if (!text) throw std::runtime_error(systemError("Cannot open", textPath));
  text.seekg(0, std::ios::end);
  const auto total = static_cast<std::uint64_t>(std::max<std::streamoff>(text.tellg(), 0));
  text.seekg(0);
  TextLineReader reader(text);

  if (overwrite && std::remove(tablePath.c_str()) != 0 && errno != ENOENT)
    throw std::runtime_error(systemError("Cannot remove", tablePath));
  TTzDbf table("ImportTable");
  CloseOnExit closing(table);
  openAddressTable(table, tablePath);

  ImportOutcome outcome;
  std::string line;
  for (std::uint64_t number = 1; reader.next(line); ++number) {
    // Asked before every line and not examined, as other programs expect;
    // once granted it is held until the table closes. Without it the
    // append below fails with the storage layer's error.
    table.ALock();
    if (reader.startsWithUtf8Mark()) line = decodeUtf8(line);
    bool malformed = false;
    const NameAddressFields fields = splitNameAddressLine(line, &malformed);
    if (malformed) {
      if (outcome.unreadableLines.size() < kUnreadableLinesShown)
        outcome.unreadableLines.push_back(number);
      ++outcome.unreadableCount;
    }
    table.ClearRecord();
    table.SetMField("Address", importedMemoLines(fields));
    table.SetFieldText("City", fields[4]);
    table.SetFieldText("State", fields[5]);
    table.SetFieldText("Zip", fields[6]);
    table.AppendRec();
    ++outcome.records;
    if (progress && number % kProgressStep == 0 && !progress(reader.bytesRead(), total)) {
      outcome.cancelled = true;
      break;
    }
  }
  table.Close();
  return outcome;
}

ExportOutcome exportNameAddressFile(const std::string& tablePath, const std::string& textPath,
                                    const TransferProgress& progress) {
  TTzDbf table("ExportTable");
  CloseOnExit closing(table);
  table.SetDbfFileName(tablePath);
  table.SetTableLanguage(TTableLanguage::tlOem);
  table.SetExclusive(false);
  table.SetHideDeletedRecs(false);
  // Export reads an existing table; it never makes one.
  table.SetCreateIfNotFound(false);
  table.Open();

  std::ofstream text(textPath, std::ios::binary | std::ios::trunc);
  if (!text) throw std::runtime_error(systemError("Cannot create", textPath));
  const auto fail = [&] { throw std::runtime_error(systemError("Error writing", textPath)); };

  ExportOutcome outcome;
  const std::uint64_t total = table.RecordCount();
  std::vector<std::string> memo;
  for (table.First(); !table.Eof(); table.Next()) {
    table.GetMField("Address", memo);
    const std::string line =
        nameAddressLine(memo, table.GetFieldText("City"), table.GetFieldText("State"),
                        table.GetFieldText("Zip")) +
        "\r\n";
    if (!text.write(line.data(), static_cast<std::streamsize>(line.size()))) fail();
    ++outcome.records;
    if (progress && outcome.records % kProgressStep == 0 && !progress(outcome.records, total)) {
      outcome.cancelled = true;
      break;
    }
  }
  // A disk that filled up shows only when the last piece goes out.
  if (!text.flush()) fail();
  text.close();
  if (text.fail()) fail();
  return outcome;
}

}  // namespace kestrel
