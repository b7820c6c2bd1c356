#include "log/ClearLog.h"

#include <unistd.h>

#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <system_error>
#include <vector>

#include "dbase/TTzDbf.h"
#include "log/TableGuards.h"
#include "platform/AnsiText.h"
#include "platform/ApplicationTitle.h"
#include "platform/LocalPath.h"
#include "platform/UserInteraction.h"

namespace kestrel {

namespace {

const QString kAlreadyEmpty = QStringLiteral("Report is already empty.");
const QString kSaveQuestion = QStringLiteral("Do you wish to save the data in the report?");

// Switches the log back to shared use and closes it, on every path.
class SharedAndClosedOnExit {
 public:
  explicit SharedAndClosedOnExit(TTzDbf& log) : m_log(log) {}
  ~SharedAndClosedOnExit() {
    try {
      m_log.Close();
    } catch (...) {
    }
    try {
      m_log.SetExclusive(false);  // on the closed table: only the setting
    } catch (...) {
    }
  }
  SharedAndClosedOnExit(const SharedAndClosedOnExit&) = delete;
  SharedAndClosedOnExit& operator=(const SharedAndClosedOnExit&) = delete;

 private:
  TTzDbf& m_log;
};

[[noreturn]] void throwNotSaved(const std::string& target, const std::string& reason) {
  throw ClearLogError(
      "The mailing log was not cleared, because its records could not be saved "
      "in \"" +
      target + "\".\r\n" + reason);
}

// The log's records after those of an existing table, under that table's
// append lock; the table is closed on every path.
void appendLogTo(const std::string& target, const std::string& logPath) {
  TTzDbf table("SaveTarget");
  table.SetDbfFileName(target);
  table.SetTableLanguage(TTableLanguage::tlOem);
  table.SetExclusive(false);
  table.SetCreateIfNotFound(false);
  CloseOnExit closing(table);
  table.Open();
  if (!takeAppendLock(table))
    throwNotSaved(target,
                  "Another copy of the program is adding records to it. Please try again later.");
  table.AppendFrom(logPath);
  table.UnLock();
  // Closed here rather than by the guard, so that a header that cannot be
  // written back is told.
  table.Close();
}

}  // namespace

bool copyFileBytes(const std::string& from, const std::string& to, std::string& why) {
  std::ifstream in(from, std::ios::binary);
  if (!in) {
    why = std::generic_category().message(errno);
    return false;
  }
  // A new file only: an existing one is a table to append to, never overwritten.
  std::FILE* out = std::fopen(to.c_str(), "wbx");
  if (!out) {
    why = std::generic_category().message(errno);
    return false;
  }
  std::vector<char> buffer(1 << 16);
  bool ok = true;
  while (ok && in) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (got > 0 && std::fwrite(buffer.data(), 1, got, out) != got) {
      why = std::generic_category().message(errno);
      ok = false;
    }
  }
  if (ok && in.bad()) {
    why = "the mailing log could not be read";
    ok = false;
  }
  if (std::fflush(out) != 0 || ::fsync(fileno(out)) != 0) {
    if (ok) why = std::generic_category().message(errno);
    ok = false;
  }
  if (std::fclose(out) != 0 && ok) {
    why = std::generic_category().message(errno);
    ok = false;
  }
  if (!ok) std::remove(to.c_str());
  return ok;
}

void clearMailingLog(TTzDbf& log) {
  SharedAndClosedOnExit closing(log);
  log.Open();
  const std::uint32_t count = log.RecordCount();
  if (count == 0) {
    showError(kAlreadyEmpty);
    return;
  }
  const UserInteraction::Answer answer =
      ui().message(QString::fromLatin1(kApplicationTitle), kSaveQuestion,
                   UserInteraction::Icon::Question, UserInteraction::Buttons::YesNoCancel);
  if (answer == UserInteraction::Answer::Cancel) return;
  if (answer == UserInteraction::Answer::Yes) {
    // An existing table is added to, never replaced: the dialog's "replace
    // it?" would say the opposite of what happens.
    const QString chosen = ui().saveFileName(QString(), QString(), QString(), QString(),
                                             UserInteraction::ExistingFile::TakeAsIs);
    if (chosen.isEmpty()) return;  // no copy, no clear
    const std::string target = toLocalPath(chosen);
    if (QFileInfo::exists(chosen)) {
      appendLogTo(target, log.DbfFileName());
    } else {
      std::string why;
      if (!copyFileBytes(log.DbfFileName(), target, why)) throwNotSaved(target, why + ".");
    }
  }

  log.SetExclusive(true);
  log.First();
  for (std::uint32_t i = 0; i < count && !log.Eof(); ++i) {
    log.DeleteRec();
    log.Next();
  }
  if (!log.Pack())
    throw ClearLogError("The mailing log \"" + log.DbfFileName() +
                        "\" could not be packed: another copy of the program is using it.");
}

}  // namespace kestrel
