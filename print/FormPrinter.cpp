#include "print/FormPrinter.h"

#include <QPrinter>
#include <charconv>
#include <limits>
#include <memory>

#include "numbering/MailerNumber.h"
#include "platform/AnsiText.h"
#include "print/CurrentPrinter.h"
#include "print/MailerLayout.h"
#include "print/PageMapping.h"
#include "print/PrintError.h"
#include "print/PrinterCanvas.h"
#include "print/SelectRotatedFont.h"

namespace kestrel {

namespace {
const QString kMailerJobName = QStringLiteral("Kestrel mailer");
const QString kLabelJobName = QStringLiteral("Kestrel bar-code label");

// An alignment offset as stored: a decimal whole number, blanks around it
// allowed.
int readOffset(const std::string& text, const char* which) {
  std::size_t begin = text.find_first_not_of(' ');
  std::size_t end = text.find_last_not_of(' ');
  long long value = 0;
  if (begin != std::string::npos) {
    const char* first = text.data() + begin + (text[begin] == '+' ? 1 : 0);
    const char* last = text.data() + end + 1;
    const auto [stop, error] = std::from_chars(first, last, value);
    if (error == std::errc() && stop == last && first != last &&
        value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max())
      return static_cast<int>(value);
  }
  throw PrintError(std::string("The ") + which + " print offset \"" + text +
                   "\" is not a whole number.");
}

// The caller's base font as the page's font at the device's resolution.
PageFont pageFontOf(const QFont& font, const PageGeometry& geometry) {
  const int height = font.pointSizeF() > 0
                         ? fontPixelHeight(font.pointSizeF(), geometry.pixelsPerInchY)
                         : font.pixelSize();
  return PageFont{font.family(), height, 0, font.weight() >= QFont::Bold};
}

// Prints one page as one job: the base font on the page first and back
// again at the end, whatever the groups selected in between.
template <typename DrawGroups>
void printPage(PageCanvas& canvas, const QString& jobName, int leftRight, int topBottom,
               const QFont& baseFont, DrawGroups drawGroups) {
  canvas.runJob(jobName, [&] {
    const PageGeometry geometry = canvas.geometry();
    const PageMapping mapping(geometry, leftRight, topBottom);
    const PageFont keptBaseFont = pageFontOf(baseFont, geometry);
    canvas.setFont(keptBaseFont);
    drawGroups(LayoutPage{canvas, mapping, baseFont.family()});
    canvas.setFont(keptBaseFont);
  });
}

// The current printer: a real printer takes each job as one CUPS job; a PDF
// writer (no printer on the machine, or a file chosen in Printer Setup)
// writes each job to a file of its own.
std::unique_ptr<PageCanvas> currentPrinterCanvas() {
  return std::make_unique<PrinterCanvas>(printerForNextJob(), [] { prepareNextPdfJob(); });
}
}  // namespace

std::string PrintMailer(PageCanvas& canvas, const PrintRequest& request, bool printBarCodes,
                        const QFont& baseFont, TBarCodeType symbology) {
  const int leftRight = readOffset(request[slot::kLeftRight], "left/right");
  const int topBottom = readOffset(request[slot::kTopBottom], "top/bottom");
  std::string tNumber = request[slot::kNumberSource];
  std::string fNumber;
  if (printBarCodes) {
    tNumber = ComposeMailerNumber(request[slot::kNumberSource], request[slot::kSerial], "T");
    fNumber = ComposeMailerNumber(request[slot::kNumberSource], request[slot::kSerial], "F");
  }
  printPage(canvas, kMailerJobName, leftRight, topBottom, baseFont, [&](const LayoutPage& page) {
    if (printBarCodes) drawBarCodeGroup(page, tNumber, fNumber, symbology);
    drawPostnetGroup(page, request);
    drawTextGroup(page, request);
  });
  return tNumber;
}

std::string PrintMailer(const PrintRequest& request, bool printBarCodes, const QFont& baseFont,
                        TBarCodeType symbology) {
  const std::unique_ptr<PageCanvas> canvas = currentPrinterCanvas();
  return PrintMailer(*canvas, request, printBarCodes, baseFont, symbology);
}

TBarCodeType mailerSymbology(const SettingsRecord& settings) {
  return settings.IMpbBarCodes ? TBarCodeType::bcEAN128 : TBarCodeType::bcCode128;
}

void PrintBarCodeLabels(PageCanvas& canvas, int count, const std::string& custId,
                        const std::string& startSerial, int leftRight, int topBottom,
                        const QFont& baseFont, LabelRunProgress* progress, TBarCodeType symbology) {
  // The serial is counted on a working copy with the numbering's own rule.
  NumberingState counter;
  counter.PrintBarCode = true;
  counter.SerialNum = startSerial;
  for (int label = 1; label <= count; ++label) {
    if (progress) progress->serial = counter.SerialNum;
    const std::string tNumber = ComposeMailerNumber(custId, counter.SerialNum, "T");
    const std::string fNumber = ComposeMailerNumber(custId, counter.SerialNum, "F");
    printPage(canvas, kLabelJobName, leftRight, topBottom, baseFont,
              [&](const LayoutPage& page) { drawBarCodeGroup(page, tNumber, fNumber, symbology); });
    if (progress) ++progress->labelsPrinted;
    // Counted on only when another label follows, so that a run whose last
    // serial cannot be counted on still ends cleanly.
    if (label < count) AdvanceMailerNumber(counter);
  }
}

void PrintBarCodeLabels(int count, const std::string& custId, const std::string& startSerial,
                        int leftRight, int topBottom, const QFont& baseFont,
                        LabelRunProgress* progress, TBarCodeType symbology) {
  const std::unique_ptr<PageCanvas> canvas = currentPrinterCanvas();
  PrintBarCodeLabels(*canvas, count, custId, startSerial, leftRight, topBottom, baseFont, progress,
                     symbology);
}

}  // namespace kestrel
