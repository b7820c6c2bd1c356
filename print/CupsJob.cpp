#include "print/CupsJob.h"

#include <cups/cups.h>

#include <QByteArray>
#include <QFile>
#include <cstdlib>
#include <cstring>

#include "print/PrintError.h"

namespace kestrel {

namespace {

// The spool file goes to the scheduler in pieces of this size.
constexpr qint64 kWriteBytes = 64 * 1024;

QString cupsReason() {
  return QString::fromUtf8(cupsLastErrorString());
}

PrintError refusal(const QString& printerName) {
  return PrintError(QStringLiteral("The printer \"%1\" refused the print job: %2")
                        .arg(printerName, cupsReason()));
}

const char* sidesKeyword(CupsJobOptions::Sides sides) {
  switch (sides) {
    case CupsJobOptions::Sides::TwoSidedLongEdge:
      return "two-sided-long-edge";
    case CupsJobOptions::Sides::TwoSidedShortEdge:
      return "two-sided-short-edge";
    case CupsJobOptions::Sides::OneSided:
      break;
  }
  return "one-sided";
}

// The job's options as IPP attributes.
int jobOptions(const CupsJobOptions& job, cups_option_t** options) {
  int count = 0;
  // The page is sent exactly as drawn: positions are measured from the
  // sheet's corner, so no filter may scale it to fit.
  count = cupsAddOption("fit-to-page", "false", count, options);
  count = cupsAddOption("sides", sidesKeyword(job.sides), count, options);
  if (job.copies > 1) {
    count = cupsAddOption("copies", QByteArray::number(job.copies).constData(), count, options);
    count = cupsAddOption(
        "multiple-document-handling",
        job.collate ? "separate-documents-collated-copies" : "separate-documents-uncollated-copies",
        count, options);
  }
  return count;
}

// Sends the file as the job's one document; returns what failed part way
// (the scheduler or the file), or an empty text.
QString sendDocument(const QByteArray& printer, int job, const QString& pdfPath,
                     const QByteArray& title) {
  QFile file(pdfPath);
  if (!file.open(QIODevice::ReadOnly))
    return QStringLiteral("The spool file \"%1\" cannot be read: %2")
        .arg(pdfPath, file.errorString());
  if (cupsStartDocument(CUPS_HTTP_DEFAULT, printer.constData(), job, title.constData(),
                        CUPS_FORMAT_PDF, 1) != HTTP_STATUS_CONTINUE)
    return cupsReason();
  QByteArray buffer(kWriteBytes, Qt::Uninitialized);
  for (;;) {
    const qint64 read = file.read(buffer.data(), kWriteBytes);
    if (read < 0)
      return QStringLiteral("The spool file \"%1\" cannot be read: %2")
          .arg(pdfPath, file.errorString());
    if (read == 0) break;
    if (cupsWriteRequestData(CUPS_HTTP_DEFAULT, buffer.constData(), static_cast<size_t>(read)) !=
        HTTP_STATUS_CONTINUE)
      return cupsReason();
  }
  if (cupsFinishDocument(CUPS_HTTP_DEFAULT, printer.constData()) > IPP_STATUS_OK_EVENTS_COMPLETE)
    return cupsReason();
  return {};
}

}  // namespace

void checkCupsDestination(const QString& printerName) {
  const QByteArray printer = printerName.toLocal8Bit();
  cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, printer.constData(), nullptr);
  if (!dest) throw refusal(printerName);
  const char* state = cupsGetOption("printer-state", dest->num_options, dest->options);
  const char* accepting =
      cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
  const bool stopped = state && std::atoi(state) == IPP_PSTATE_STOPPED;
  const bool refusesJobs = accepting && std::strcmp(accepting, "false") == 0;
  cupsFreeDests(1, dest);
  if (stopped && !refusesJobs)
    throw PrintError(QStringLiteral("The printer \"%1\" is stopped: the print job was not sent. "
                                    "Start the printer, or choose another one, and print again.")
                         .arg(printerName));
}

int submitCupsJob(const QString& printerName, const QString& pdfPath, const QString& title,
                  const CupsJobOptions& options) {
  const QByteArray printer = printerName.toLocal8Bit();
  const QByteArray jobTitle = title.toUtf8();
  cups_option_t* attributes = nullptr;
  const int attributeCount = jobOptions(options, &attributes);
  const int job = cupsCreateJob(CUPS_HTTP_DEFAULT, printer.constData(), jobTitle.constData(),
                                attributeCount, attributes);
  cupsFreeOptions(attributeCount, attributes);
  if (job <= 0) throw refusal(printerName);
  if (const QString failure = sendDocument(printer, job, pdfPath, jobTitle); !failure.isEmpty()) {
    cupsCancelJob2(CUPS_HTTP_DEFAULT, printer.constData(), job, 0);
    throw PrintError(
        QStringLiteral("The print job could not be sent whole to the printer \"%1\": %2")
            .arg(printerName, failure));
  }
  return job;
}

}  // namespace kestrel
