// The Report menu: the log report printed or previewed in the Sort menu's
// order, and clearing the log.
#include <QAction>

#include "app/U_Main.h"
#include "dbase/TTzDbf.h"
#include "log/ClearLog.h"
#include "log/LogReport.h"
#include "platform/CommandRunner.h"
#include "print/CurrentPrinter.h"

namespace kestrel {

void TF_Main::runLogReport(bool toPrinter, const char* reportName) {
  runCommand([&] {
    // The Sort items are one radio group; none checked keeps the order of
    // printing.
    LogSort sort = LogSort::None;
    if (MIByMailerNumber->isChecked()) sort = LogSort::ByMailerNumber;
    if (MIByName->isChecked()) sort = LogSort::ByName;
    if (MIByDate->isChecked()) sort = LogSort::ByDate;
    if (MIByZipCode->isChecked()) sort = LogSort::ByZipCode;
    // Reports go to the printer that takes the mailers (Printer Setup);
    // without one, each report is a PDF file of its own.
    RvProject->setPrinter(&currentPrinter(), [] { prepareNextPdfJob(); });
    RvProject->setParentWidget(this);
    produceLogReport(*MailingLog, *RvProject,
                     toPrinter ? ReportDestination::rdPrinter : ReportDestination::rdPreview,
                     reportName, sort);
  });
}

void TF_Main::miPrintFullClick() {
  runLogReport(true, kFullDetailReport);
}

void TF_Main::miPrintShortClick() {
  runLogReport(true, kShortDetailReport);
}

void TF_Main::miPreviewFullClick() {
  runLogReport(false, kFullDetailReport);
}

void TF_Main::miPreviewShortClick() {
  runLogReport(false, kShortDetailReport);
}

void TF_Main::ClearReport1Click() {
  runCommand([this] { clearMailingLog(*MailingLog); });
}

}  // namespace kestrel
