#include "log/MailingLog.h"

#include <filesystem>
#include <system_error>

#include "core/Folders.h"
#include "dbase/DateText.h"
#include "dbase/MessagePath.h"
#include "dbase/TTzDbf.h"
#include "log/TableGuards.h"

namespace kestrel {

namespace {

// The grouped number of a 20-digit mailer number ends in a blank that the
// field's padding absorbs; in a message it would only stand in the way.
std::string numberForMessage(std::string number) {
  while (!number.empty() && number.back() == ' ') number.pop_back();
  return number;
}

[[noreturn]] void throwNotLogged(const std::string& logNumber, const std::string& path,
                                 const std::string& reason) {
  throw MailingLogError("The mailer " + numberForMessage(logNumber) +
                        " was printed, but it could not be recorded in the mailing log \"" +
                        messagePath(path) + "\".\r\n" + reason +
                        "\r\nPlease write its number down and add it to your records by hand.");
}

}  // namespace

const std::vector<std::string>& mailingLogFields() {
  static const std::vector<std::string> fields = {
      "sentname0,C,30,0", "sentname1,C,30,0", "sentname2,C,30,0", "sentname3,C,30,0",
      "city,C,35,0",      "state,C,4,0",      "zip,C,10,0",       "rdate,D,10,0",
      "mailernum,C,27,0", "postage,C,15,0",   "certified,C,15,0", "restricted,C,15,0",
      "return,C,15,0",    "total,C,15,0",     "comments,C,35,0",  "re,C,25,0"};
  return fields;
}

void setUpMailingLog(TTzDbf& log, const std::string& programFolder) {
  log.Close();
  log.SetDbfFileName(programFolder + kMailingLogFileName);
  log.SetDbfFields(mailingLogFields());
  log.SetTableLanguage(TTableLanguage::tlOem);
  log.SetExclusive(false);
  log.SetHideDeletedRecs(false);
  log.SetCreateIfNotFound(true);
}

void LogPrintedMailer(TTzDbf& log, const Mailer& mailer, const std::string& logNumber) {
  const std::string path = log.DbfFileName();
  CloseOnExit closing(log);
  try {
    // Made in the shared Reports folder, the log is writable by the group
    // that shares the folder (the storage layer sees to it).
    log.Open();

    log.ClearRecord();
    for (int i = 0; i < kRecipientLines; ++i)
      log.SetFieldText("sentname" + std::to_string(i), mailer.names[i]);
    log.SetFieldText("city", mailer.city);
    log.SetFieldText("state", mailer.state);
    log.SetFieldText("zip", mailer.zip);
    log.SetFieldText("mailernum", logNumber);
    log.SetFieldText("postage", mailer.postage);
    log.SetFieldText("certified", mailer.certified);
    log.SetFieldText("restricted", mailer.restricted);
    log.SetFieldText("return", mailer.returnReceipt);
    log.SetFieldText("total", mailer.total);
    log.SetFieldText("comments", mailer.comments);
    log.SetFieldText("re", mailer.re);
    log.SetFieldText("rdate", formatSystemDate(today()));

    if (!takeAppendLock(log))
      throwNotLogged(logNumber, path,
                     "Another copy of the program kept the log locked for too long.");
    // On an error the close below releases the lock.
    log.AppendRec();
    log.UnLock();
    // Closed here rather than by the guard, so that a header that cannot be
    // written back is told like any other failed write.
    log.Close();
  } catch (const MailingLogError&) {
    throw;
  } catch (const std::exception& error) {
    // A user outside the group that shares the log learns what to do about
    // it rather than a storage error code.
    const std::string refusal = writeRefusal(path);
    throwNotLogged(logNumber, path, refusal.empty() ? error.what() : refusal);
  }
}

namespace {

std::string_view withoutTrailingBlanks(std::string_view text) {
  const std::size_t end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

}  // namespace

std::optional<PrintedBefore> findPrintedMailer(const std::string& programFolder,
                                               const std::string& logNumber) {
  TTzDbf log;
  setUpMailingLog(log, programFolder);
  std::error_code ignored;
  if (!std::filesystem::exists(log.DbfFileName(), ignored)) return std::nullopt;
  log.SetCreateIfNotFound(false);
  log.SetReadOnly(true);
  CloseOnExit closing(log);
  log.Open();
  const int numberField = log.fieldIndex("mailernum");
  if (numberField < 0) return std::nullopt;
  // The field holds the grouped number padded with blanks (a 20-digit
  // number's own last blank among them). Compared as the file stores it, so
  // that a visit of a large log converts nothing but the one record found.
  const std::string_view wanted = withoutTrailingBlanks(logNumber);
  for (log.First(); !log.Eof(); log.Next()) {
    if (withoutTrailingBlanks(log.fieldView(numberField)) != wanted || log.Deleted()) continue;
    std::string name = log.GetFieldText("sentname0");
    name.erase(name.find_last_not_of(' ') + 1);
    return PrintedBefore{log.GetFieldText("rdate"), name};
  }
  return std::nullopt;
}

}  // namespace kestrel
