// Any bytes as a report layout file. A file the reader refuses must say so
// with a ReportError; any other exception, a crash or a sanitizer report is
// a fault. Every report of a file it accepts is run over a few records made
// up for the fields its columns name, and its first and last pages are drawn
// onto a recording canvas and onto a small image, so that the geometry the
// file gives (page, margins, widths, sheets, boxes, rules, font sizes) is
// used as the preview and the printer use it.
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPicture>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "MemoryDataSet.h"
#include "report/ReportDocument.h"
#include "report/ReportError.h"
#include "report/ReportLayout.h"
#include "report/ReportPainter.h"

namespace {

using kestrel::test::MemoryDataSet;

// Field texts as a mailing log holds them: names, blank and signed fees,
// dates, long texts and numbers too long for a total.
const char* const kSampleTexts[] = {
    "Jane Q. Public",
    "      1.25",
    "",
    "12/09/2026",
    "     -0.50",
    "9214 7123 4567 8900 0004 25",
    "Springfield, a town with a name far longer than any column is wide",
    "123456789012.999999",
    "0",
    "  \"quoted\" #",
};
constexpr std::size_t kRecords = 7;
constexpr int kFieldLength = 80;

// The fields the layout's columns name, each once (names match regardless
// of case); "#" is the record's number, no field.
std::vector<MemoryDataSet::Field> fieldsOf(const kestrel::ReportLayout& layout) {
  std::vector<MemoryDataSet::Field> fields;
  for (const kestrel::ReportDefinition& report : layout.reports)
    for (const kestrel::ReportRow& row : report.rows)
      for (const kestrel::ReportColumn& column : row.columns) {
        if (column.field == "#" || column.field.empty()) continue;
        const bool known = std::any_of(fields.begin(), fields.end(), [&](const auto& field) {
          return kestrel::sameFieldName(field.name, column.field);
        });
        if (!known) fields.push_back({column.field, 'C', kFieldLength});
      }
  return fields;
}

void drawPage(kestrel::ReportDocument& document, int page) {
  QPicture picture;
  {
    QPainter painter(&picture);
    kestrel::drawReportPage(painter, document, page, 600, 600);
  }
  QImage image(64, 80, QImage::Format_Mono);
  image.fill(1);
  QPainter painter(&image);
  const double dotsPerInch = 64 / std::max(document.layout().pageWidth, 0.01);
  kestrel::drawReportPage(painter, document, page, dotsPerInch, dotsPerInch);
}

}  // namespace

// Fontconfig keeps the font list that Qt asks for until the process ends.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication application(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  kestrel::ReportLayout layout;
  try {
    layout = kestrel::parseReportLayout(text, "/fuzz/Kestrel3.rav");
  } catch (const kestrel::ReportError&) {
    return 0;
  }
  if (layout.connection.empty() || layout.path != "/fuzz/Kestrel3.rav") std::abort();

  const std::vector<MemoryDataSet::Field> fields = fieldsOf(layout);
  if (fields.empty()) return 0;  // a data set needs a field
  MemoryDataSet records(fields);
  records.Open();
  for (std::size_t r = 0; r < kRecords; ++r) {
    records.Insert();
    for (std::size_t f = 0; f < fields.size(); ++f)
      records.SetFieldText(fields[f].name,
                           kSampleTexts[(r + f) % (sizeof kSampleTexts / sizeof *kSampleTexts)]);
    records.Post();
  }

  for (const kestrel::ReportDefinition& report : layout.reports) {
    std::unique_ptr<kestrel::ReportDocument> document;
    try {
      document = std::make_unique<kestrel::ReportDocument>(
          layout, report, std::map<std::string, std::string>{{"MyTime", "Date Printed: now"}},
          records);
      if (!document->generate()) std::abort();  // nothing asked it to stop
    } catch (const kestrel::ReportError&) {
      continue;  // a report that does not fit its page says so
    }
    if (document->recordCount() != kRecords || document->pageCount() < 1) std::abort();
    drawPage(*document, 0);
    if (document->pageCount() > 1) drawPage(*document, document->pageCount() - 1);
  }
  return 0;
}
