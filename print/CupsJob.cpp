#include "print/CupsJob.h"

#include <cups/cups.h>

#include <QByteArray>
#include <QFile>

#include "print/PrintError.h"

namespace kestrel {

int submitCupsJob(const QString& printerName, const QString& pdfPath, const QString& title,
                  int copies) {
  const QByteArray printer = printerName.toLocal8Bit();
  const QByteArray file = QFile::encodeName(pdfPath);
  const QByteArray jobTitle = title.toUtf8();
  cups_option_t* options = nullptr;
  int optionCount = 0;
  // The page is sent exactly as drawn: positions are measured from the
  // sheet's corner, so no filter may scale it to fit.
  optionCount = cupsAddOption("fit-to-page", "false", optionCount, &options);
  if (copies > 1)
    optionCount =
        cupsAddOption("copies", QByteArray::number(copies).constData(), optionCount, &options);
  const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, printer.constData(), file.constData(),
                                 jobTitle.constData(), optionCount, options);
  cupsFreeOptions(optionCount, options);
  if (job <= 0)
    throw PrintError(QStringLiteral("The printer \"%1\" refused the print job: %2")
                         .arg(printerName, QString::fromUtf8(cupsLastErrorString())));
  return job;
}

}  // namespace kestrel
