#include "log/FirmMailingBook.h"

#include "core/Blanks.h"
#include "dbase/RecordSnapshot.h"
#include "dbase/TTzDbf.h"
#include "log/LogReport.h"
#include "log/MailingLog.h"
#include "log/TableGuards.h"
#include "numbering/MailerNumber.h"

namespace kestrel {

namespace {

// Whether any record of the book has a fee in the field.
bool anyFee(RecordSnapshot& book, const char* field) {
  for (book.First(); !book.Eof(); book.Next())
    if (!isBlankText(book.GetFieldText(field))) return true;
  return false;
}

}  // namespace

void selectMailingBookRecords(DataSet& log, const MailingBookSelection& selection,
                              RecordSnapshot& book) {
  for (log.First(); !log.Eof(); log.Next()) {
    if (log.Deleted()) continue;
    const std::optional<Date> date = parseProgramDate(log.GetFieldText("rdate"));
    if (!date || !(*date == selection.date)) continue;
    const std::string number = log.GetFieldText("mailernum");
    if (!isBlankText(selection.firstNumber) && mailerNumberLess(number, selection.firstNumber))
      continue;
    if (!isBlankText(selection.lastNumber) && mailerNumberLess(selection.lastNumber, number))
      continue;
    book.addCurrentRecord(log);
  }
  book.sortBy("mailernum", mailerNumberLess);
}

std::string mailTypeText(RecordSnapshot& book) {
  std::string services;
  if (anyFee(book, "return")) services = "Return Receipt";
  if (anyFee(book, "restricted"))
    services += (services.empty() ? "" : ", ") + std::string("Restricted Delivery");
  book.First();
  return "Type of Mail: Certified Mail" +
         (services.empty() ? "" : "    Extra Services: " + services);
}

void produceFirmMailingBook(TTzDbf& log, ReportProject& project, ReportDestination destination,
                            const MailingBookSelection& selection,
                            const MailingBookSender& sender) {
  CloseOnExit closeLog(log);
  log.Open();
  RecordSnapshot book(log);
  // The engine lets go of the copy before it goes.
  CloseProjectOnExit closeProject(project);
  selectMailingBookRecords(log, selection, book);
  log.Close();
  const std::string day = formatProgramDate(selection.date);
  if (book.RecordCount() == 0)
    throw EmptyLogError("No mailers were logged on " + day +
                        (isBlankText(selection.firstNumber) && isBlankText(selection.lastNumber)
                             ? "."
                             : " in that range of mailer numbers."));
  const std::string mailType = mailTypeText(book);
  project.setConnection(kLogConnectionName, &book);
  project.setDestination(destination);
  project.setSetupChoices(destination == ReportDestination::rdPrinter ? kLogPrinterChoices : 0u);
  project.open();
  project.setParameter(kSenderNameParameter, sender.name);
  project.setParameter(kSenderAddressParameter, sender.address);
  project.setParameter(kMailTypeParameter, mailType);
  project.setParameter(kMailingDateParameter, "Mailing Date: " + day);
  project.executeReport(kFirmMailingBookReport);
}

}  // namespace kestrel
