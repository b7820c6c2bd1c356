#include "report/ReportProject.h"

#include <QPrinter>

#include "dbase/DataSet.h"
#include "dbase/MessagePath.h"
#include "platform/UserInteraction.h"
#include "report/OutputOptions.h"
#include "report/ReportDocument.h"
#include "report/ReportError.h"
#include "report/ReportLayout.h"
#include "report/ReportPreview.h"
#include "report/ReportPrinting.h"
#include "report/ReportStatus.h"

namespace kestrel {

namespace {

// Printing from the preview is the user's own request for paper: the
// printer's choices are offered whatever the preview's destination allowed.
constexpr unsigned kPrintFromPreviewChoices = ssAllowSetup | ssAllowCopies | ssAllowCollate |
                                              ssAllowDuplex | ssAllowDestPrinter |
                                              ssAllowPrinterSetup;

// A printer of its own for each job, set up like the program's printer, so
// that the copies or duplex chosen for one report do not stay on the
// printer that prints the mailers.
std::unique_ptr<QPrinter> jobPrinterLike(const QPrinter& printer) {
  auto job = std::make_unique<QPrinter>(QPrinter::HighResolution);
  if (printer.outputFormat() == QPrinter::PdfFormat) {
    job->setOutputFormat(QPrinter::PdfFormat);
  } else {
    job->setPrinterName(printer.printerName());
  }
  job->setResolution(printer.resolution());
  job->setPageLayout(printer.pageLayout());
  job->setFullPage(printer.fullPage());
  return job;
}

}  // namespace

ReportProject::ReportProject() = default;
ReportProject::~ReportProject() = default;

void ReportProject::setPrinter(QPrinter* printer, std::function<void()> prepareJob) {
  m_printer = printer;
  m_prepareJob = std::move(prepareJob);
}

void ReportProject::setConnection(std::string name, DataSet* data) {
  m_connectionName = std::move(name);
  m_data = data;
}

void ReportProject::open() {
  m_layout = std::make_unique<ReportLayout>(loadReportLayout(m_projectFile));
}

void ReportProject::close() {
  m_layout.reset();
  m_parameters.clear();
}

void ReportProject::setParameter(const std::string& name, const std::string& text) {
  m_parameters[name] = text;
}

void ReportProject::executeReport(const std::string& name) {
  if (!m_layout)
    throw ReportError("The report project \"" + messagePath(m_projectFile) + "\" is not open.");
  const ReportDefinition* report = m_layout->find(name);
  if (!report) return;
  if (m_layout->connection != m_connectionName || !m_data || !m_data->Active())
    throw ReportError("The report layout file \"" + messagePath(m_layout->path) +
                      "\" reads from \"" + m_layout->connection + "\", which has no open table.");

  ReportDocument document(*m_layout, *report, m_parameters, *m_data);
  std::unique_ptr<QPrinter> printer;
  if (m_destination == ReportDestination::rdPrinter) {
    printer = askPrinter(m_choices);
    if (!printer) return;
  }
  document.begin();
  if (!printer) {
    // The preview opens as soon as its first page is read.
    ReportStatus status(m_texts.statusTitle, m_parent);
    const bool read = document.readThrough(
        0, [&](int page) { return status.showPage(m_texts.generatingText, page); });
    if (!read) return;
  }
  if (printer) {
    print(document, *printer);
    return;
  }
  // Pages further on are read when the user goes to them, with the status
  // window (and its Cancel) while that takes long.
  const auto readThrough = [&](int page) {
    if (document.isRead(page)) return true;
    ReportStatus status(m_texts.statusTitle, m_parent);
    return document.readThrough(
        page, [&](int reading) { return status.showPage(m_texts.generatingText, reading); });
  };
  ReportPreview preview(
      m_texts.previewTitle, document, readThrough,
      [&] {
        if (std::unique_ptr<QPrinter> chosen = askPrinter(kPrintFromPreviewChoices))
          print(document, *chosen);
      },
      m_parent);
  ui().execDialog(preview);
}

std::unique_ptr<QPrinter> ReportProject::askPrinter(unsigned choices) {
  if (!m_printer) throw ReportError("No printer is set up for reports.");
  std::unique_ptr<QPrinter> job = jobPrinterLike(*m_printer);
  if (choices & ssAllowSetup) {
    OutputOptions options(m_texts.outputOptionsTitle, *job, choices, m_parent);
    if (ui().execDialog(options) != QDialog::Accepted) return nullptr;
    options.apply(*job);
  }
  return job;
}

void ReportProject::print(ReportDocument& document, QPrinter& printer) {
  ReportStatus status(m_texts.statusTitle, m_parent);
  // Just before the job opens, a PDF writer learns its file from the
  // program's printer (the PDF fallback names a new one for each job).
  const auto beforeJob = [&] {
    if (m_prepareJob) m_prepareJob();
    if (printer.outputFormat() == QPrinter::PdfFormat)
      printer.setOutputFileName(m_printer->outputFileName());
  };
  printReportDocument(document, printer, m_texts.jobTitle, status, m_texts.printingText, beforeJob);
}

}  // namespace kestrel
