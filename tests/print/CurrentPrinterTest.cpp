#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <QPrinter>

#include "FileSizeLimit.h"
#include "QtPrinting.h"
#include "print/CurrentPrinter.h"
#include "print/FormPrinter.h"
#include "print/PrintError.h"

namespace kestrel {
namespace {

// Without an installed printer every job becomes a PDF file of its own in
// "Printed" under the program folder (here the test's own build folder),
// open to every user; a job that reaches the disk only in part is a print
// error and leaves no file. One test, so that no other job shares the folder
// while files are counted.
TEST(CurrentPrinter, WithoutAPrinterEachJobIsItsOwnPdfFile) {
  if (hasInstalledPrinter()) GTEST_SKIP() << "this machine has a printer";
  EXPECT_EQ(currentPrinter().outputFormat(), QPrinter::PdfFormat);
  EXPECT_EQ(QFileInfo(pdfJobFolder()).fileName(), "Printed");

  const QString first = prepareNextPdfJob();
  const QString second = prepareNextPdfJob();
  EXPECT_NE(first, second);
  EXPECT_TRUE(QFileInfo::exists(first)) << "the name is claimed at once";
  EXPECT_TRUE(QFileInfo::exists(second));
  QFile::remove(first);
  QFile::remove(second);

  PrintRequest request;
  request[22] = "0";
  request[23] = "0";
  const QStringList before = QDir(pdfJobFolder()).entryList({"*.pdf"}, QDir::Files);
  PrintMailer(request, false, QFont("Arial", 8));
  PrintBarCodeLabels(2, "123456789", "0000001", 0, 0, QFont("Arial", 8));
  QStringList made = QDir(pdfJobFolder()).entryList({"*.pdf"}, QDir::Files);
  for (const QString& old : before) made.removeAll(old);
  EXPECT_EQ(made.size(), 3) << "one file per job: the mailer and two labels";
  for (const QString& name : made) {
    const QString path = QDir(pdfJobFolder()).filePath(name);
    EXPECT_GT(QFileInfo(path).size(), 1000) << name.toStdString();
    QFile::remove(path);
  }

  struct stat folder {};
  ASSERT_EQ(stat(QFile::encodeName(pdfJobFolder()).constData(), &folder), 0);
  EXPECT_EQ(folder.st_mode & 07777, 02775u) << "the group shares the folder, no one else";

  {
    const ScopedFileSizeLimit nearlyFullDisk(8 * 1024);
    try {
      PrintMailer(request, true, QFont("Arial", 8));
      ADD_FAILURE() << "a mailer that reached the disk in part counted as printed";
    } catch (const PrintError& error) {
      EXPECT_NE(std::string(error.what()).find("failed while printing"), std::string::npos)
          << error.what();
    }
    EXPECT_THROW(PrintBarCodeLabels(2, "123456789", "0000001", 0, 0, QFont("Arial", 8)),
                 PrintError);
  }
  EXPECT_EQ(QDir(pdfJobFolder()).entryList({"*.pdf"}, QDir::Files), before)
      << "no partial file is left in the folder";
}

}  // namespace
}  // namespace kestrel
