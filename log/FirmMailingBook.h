#pragma once

#include <string>
#include <vector>

#include "dbase/DateText.h"
#include "report/ReportProject.h"

namespace kestrel {

class DataSet;
class RecordSnapshot;
class TTzDbf;

// The firm mailing book: the mailers of one mailing date listed on sheets
// after the post office's form for accountable mail, so that the clerk can
// stamp the sender's copy as proof of mailing. The layout is the report
// "FirmMailingBook" of the layout file.

inline constexpr const char* kFirmMailingBookReport = "FirmMailingBook";
// The parameters the layout prints on every sheet.
inline constexpr const char* kSenderNameParameter = "SenderName";
inline constexpr const char* kSenderAddressParameter = "SenderAddress";
inline constexpr const char* kMailTypeParameter = "MailType";
inline constexpr const char* kMailingDateParameter = "MailingDate";

// Which mailers the book lists: those logged on `date`, and when a bound is
// not empty, only mailer numbers from `firstNumber` to `lastNumber`
// (numerically, blanks ignored).
struct MailingBookSelection {
  Date date;
  std::string firstNumber;
  std::string lastNumber;
};

// Copies the selected records of the open log into `book`, in numerical
// order of their mailer numbers.
void selectMailingBookRecords(DataSet& log, const MailingBookSelection& selection,
                              RecordSnapshot& book);

// "Type of Mail: Certified Mail" and the extra services that any listed
// mailer has a fee for (a blank fee field means the service was not used).
std::string mailTypeText(RecordSnapshot& book);

// The sender as the sheets print it: the first line, and the other lines
// with the city, state and ZIP Code on one line.
struct MailingBookSender {
  std::string name;
  std::string address;
};

// Produces the book over the selected records of the log (closed on entry
// and on return): a selection without records throws EmptyLogError, whose
// message names the day (and the range), and produces nothing; otherwise
// the engine is given the destination and runs the report. Errors of the
// table and the engine reach the caller.
void produceFirmMailingBook(TTzDbf& log, ReportProject& project, ReportDestination destination,
                            const MailingBookSelection& selection, const MailingBookSender& sender);

}  // namespace kestrel
