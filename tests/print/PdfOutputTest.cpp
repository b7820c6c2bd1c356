// PDF files count as printed only when they were written whole.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>

#include "SampleRequest.h"
#include "print/FormPrinter.h"
#include "print/PdfFileCheck.h"
#include "print/PrintError.h"
#include "print/PrinterCanvas.h"

namespace kestrel {
namespace {

const QFont kBaseFont(QStringLiteral("Arial"), 8);

std::string local(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

QByteArray readAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  ASSERT_EQ(file.write(bytes), bytes.size());
}

TEST(PdfOutput, OnlyAFileWrittenToItsEndIsAWholePdf) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString good = dir.filePath("good.pdf");
  {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(good);
    PrinterCanvas canvas(printer);
    PrintMailer(canvas, test::sampleRequest(), true, kBaseFont);
  }
  ASSERT_TRUE(isCompletePdf(local(good)));
  const QByteArray bytes = readAll(good);
  ASSERT_GT(bytes.size(), 10000);

  // The ways a full disk or a dropped job leaves a file.
  QByteArray hole = bytes;
  hole.replace(bytes.size() / 3, 4096, QByteArray(4096, '\0'));
  const struct {
    const char* name;
    QByteArray bytes;
  } broken[] = {
      {"empty", {}},
      {"cut in the middle", bytes.left(bytes.size() / 2)},
      {"cut before the cross-reference table", bytes.left(bytes.lastIndexOf("xref") - 1)},
      {"cut inside the trailer", bytes.left(bytes.lastIndexOf("%%EOF") + 2)},
      {"a block of zeros where a write failed", hole},
      {"every object one byte off", QByteArray("%") + bytes},
      {"zeros after the end", bytes + QByteArray(512, '\0')},
  };
  for (const auto& file : broken) {
    const QString path = dir.filePath("broken.pdf");
    writeAll(path, file.bytes);
    EXPECT_FALSE(isCompletePdf(local(path))) << file.name;
  }
  EXPECT_FALSE(isCompletePdf("/dev/full"));
  EXPECT_FALSE(isCompletePdf(local(dir.path())));
  EXPECT_FALSE(isCompletePdf(local(dir.filePath("missing.pdf"))));
}

// Any PDF file a printer object writes; the machine's fallback folder is
// tested with the current printer.
TEST(PdfOutput, AFileThatCannotBeWrittenWholeIsAPrintError) {
  QPrinter device(QPrinter::HighResolution);
  device.setOutputFormat(QPrinter::PdfFormat);
  device.setOutputFileName(QStringLiteral("/dev/full"));
  PrinterCanvas full(device);
  EXPECT_THROW(PrintMailer(full, test::sampleRequest(), true, kBaseFont), PrintError);
  struct stat info {};
  ASSERT_EQ(stat("/dev/full", &info), 0);
  EXPECT_TRUE(S_ISCHR(info.st_mode)) << "a device is never removed";
}

}  // namespace
}  // namespace kestrel
