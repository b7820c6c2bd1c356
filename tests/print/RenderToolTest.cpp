// kestrel-render run as users and scripts run it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include "FileSizeLimit.h"
#include "QtPrinting.h"
#include "SampleRequest.h"
#include "TestPaths.h"

namespace kestrel {
namespace {

struct ToolRun {
  int exitCode = -1;
  QString errors;
};

// Runs the tool; a file-size limit (bytes, 0 for none) stands for a nearly
// full disk.
ToolRun render(const QStringList& arguments, rlim_t fileSizeLimit = 0) {
  QProcess process;
  process.setProcessChannelMode(QProcess::SeparateChannels);
  if (fileSizeLimit > 0)
    process.setChildProcessModifier([fileSizeLimit] { limitFileSizes(fileSizeLimit); });
  process.start(QString(test::kBinaryDir) + "/tools/render/kestrel-render", arguments);
  if (!process.waitForFinished(60000)) return {};
  return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardError())};
}

QString pdfText(const QString& path) {
  QProcess process;
  process.start("pdftotext", {path, "-"});
  process.waitForFinished(30000);
  return QString::fromUtf8(process.readAllStandardOutput());
}

void writeRequest(const QString& path, const QByteArray& lineEnd, int lines = 28) {
  PrintRequest request = test::sampleRequest();
  request[slot::kSenderLine1 + 1] = "1 Main St";
  request[slot::kRecipientLine1] = "Ren\xE9 Recipient";
  request[slot::kRecipientLine1 + 1] = "2 Oak Ave";
  request[slot::kComment] = "Comment";
  QByteArray bytes;
  for (int i = 0; i < lines; ++i) bytes += QByteArray::fromStdString(request[i]) + lineEnd;
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

TEST(RenderTool, RendersARequestFileToPdfAndPng) {
  QTemporaryDir dir;
  writeRequest(dir.filePath("request.txt"), "\r\n");
  ToolRun run = render({"--request", dir.filePath("request.txt"), "--barcodes", "--pdf",
                        dir.filePath("mailer.pdf"), "--offset", "0.25,0.2"});
  ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
  const QString text = pdfText(dir.filePath("mailer.pdf"));
  EXPECT_TRUE(text.contains("9214 7123 4567 8900 0000 15"));
  // Windows-1252 read as such: the receipt shows the line as typed, and the
  // OCR lines the letter OCR-A has in its place.
  EXPECT_TRUE(text.contains(QString::fromUtf8("Ren\u00E9 Recipient"))) << text.toStdString();
  EXPECT_TRUE(text.contains("RENE RECIPIENT"));

  writeRequest(dir.filePath("lf.txt"), "\n");
  run = render(
      {"--request", dir.filePath("lf.txt"), "--png", dir.filePath("mailer.png"), "--dpi", "100"});
  ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
  EXPECT_EQ(QImage(dir.filePath("mailer.png")).size(), QSize(850, 1100));
}

TEST(RenderTool, LabelRunWritesOnePagePerLabel) {
  QTemporaryDir dir;
  ToolRun run = render({"--labels", "3", "123456789", "9999998", "--align", "-5,10", "--png",
                        dir.filePath("labels.png"), "--dpi", "72"});
  ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
  for (const char* name : {"labels-1.png", "labels-2.png", "labels-3.png"})
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(name))) << name;
  EXPECT_FALSE(QFileInfo::exists(dir.filePath("labels.png")));

  run = render({"--labels", "2", "123456789", "9999999", "--pdf", dir.filePath("labels.pdf")});
  ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
  const QString text = pdfText(dir.filePath("labels.pdf"));
  EXPECT_TRUE(text.contains("9214 7123 4567 8999 9999 93"));
  EXPECT_TRUE(text.contains("9214 7123 4567 8900 0000 15"));
  EXPECT_EQ(text.count(QChar('\f')), 2) << "two pages";
}

TEST(RenderTool, RefusesBadArgumentsWithOneClearMessage) {
  QTemporaryDir dir;
  writeRequest(dir.filePath("short.txt"), "\n", 20);
  writeRequest(dir.filePath("good.txt"), "\n");
  const QString out = dir.filePath("out.pdf");
  const QList<QStringList> bad = {
      {},
      {"--request", dir.filePath("good.txt")},
      {"--request", dir.filePath("short.txt"), "--pdf", out},
      {"--request", dir.filePath("missing.txt"), "--pdf", out},
      {"--request", dir.filePath("good.txt"), "--pdf", out, "--dpi", "300"},
      {"--request", dir.filePath("good.txt"), "--png", out, "--dpi", "abc"},
      {"--request", dir.filePath("good.txt"), "--png", out, "--dpi", "100000"},
      {"--request", dir.filePath("good.txt"), "--pdf", out, "--offset", "x,1"},
      {"--request", dir.filePath("good.txt"), "--pdf", out, "--offset", "-1,0"},
      {"--labels", "0", "1", "1", "--pdf", out},
      {"--labels", "2", "1", "--pdf", out},
      // The label dialog's masks: nine digits of customer ID, a serial of
      // digits only.
      {"--labels", "2", "123456789", "-5", "--pdf", out},
      {"--labels", "2", "123456789", "12a", "--pdf", out},
      {"--labels", "2", "123456789", "12345678", "--pdf", out},
      {"--labels", "2", "12345678", "0000001", "--pdf", out},
      {"--labels", "2", "1234567890", "0000001", "--pdf", out},
      {"--labels", "2", "12345678x", "0000001", "--pdf", out},
      // Endless input: a device reports no size.
      {"--request", "/dev/zero", "--pdf", out},
      {"--labels", "2", "1", "1", "--align", "1000,0", "--pdf", out},
      {"--labels", "2", "1", "1", "--pdf", out, "--png", out},
      {"--request", dir.filePath("good.txt"), "--labels", "1", "1", "1", "--pdf", out},
      {"--bogus"},
  };
  for (const QStringList& arguments : bad) {
    const ToolRun run = render(arguments);
    EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
    EXPECT_TRUE(run.errors.contains("kestrel-render: ")) << run.errors.toStdString();
  }
  EXPECT_FALSE(QFileInfo::exists(out));

  // A request whose offset slot is no number fails as a print error.
  QFile file(dir.filePath("good.txt"));
  ASSERT_TRUE(file.open(QIODevice::ReadWrite));
  QByteArray bytes = file.readAll().replace("\n0\n0\n", "\nleft\n0\n");
  file.resize(0);
  file.write(bytes);
  file.close();
  const ToolRun run = render({"--request", dir.filePath("good.txt"), "--pdf", out});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.errors.contains("\"left\" is not a whole number")) << run.errors.toStdString();
}

// No output that failed to reach the disk whole counts as printed, and none
// is left behind half written.
TEST(RenderTool, AWriteThatFailsIsAnErrorAndLeavesNoPartialFile) {
  QTemporaryDir dir;
  writeRequest(dir.filePath("request.txt"), "\n");
  const QString request = dir.filePath("request.txt");
  constexpr rlim_t kNearlyFull = 8 * 1024;
  const struct {
    QStringList arguments;
    rlim_t fileSizeLimit;
  } runs[] = {
      {{"--request", request, "--barcodes", "--pdf", "/dev/full"}, 0},
      {{"--request", request, "--png", "/dev/full", "--dpi", "100"}, 0},
      {{"--labels", "2", "123456789", "0000001", "--pdf", "/dev/full"}, 0},
      {{"--request", request, "--barcodes", "--pdf", dir.filePath("mailer.pdf")}, kNearlyFull},
      {{"--request", request, "--png", dir.filePath("mailer.png"), "--dpi", "300"}, kNearlyFull},
      {{"--labels", "3", "123456789", "0000001", "--pdf", dir.filePath("labels.pdf")}, kNearlyFull},
      {{"--labels", "5", "123456789", "0000001", "--png", dir.filePath("labels.png"), "--dpi",
        "300"},
       kNearlyFull},
  };
  for (const auto& run : runs) {
    const ToolRun result = render(run.arguments, run.fileSizeLimit);
    EXPECT_EQ(result.exitCode, 1) << run.arguments.join(' ').toStdString();
    EXPECT_TRUE(result.errors.contains("kestrel-render: ")) << result.errors.toStdString();
  }
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"request.txt"})
      << "partial files removed";
}

}  // namespace
}  // namespace kestrel
