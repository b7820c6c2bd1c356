// A mailer printed on a real CUPS printer: the test runs its own scheduler
// on a private socket with a cups-pdf queue as the machine's only (and
// default) printer, prints through the program's current printer, and reads
// the page that CUPS made with pdftotext and zxing-cpp.
#include <cups/cups.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTransform>
#include <chrono>
#include <cmath>
#include <thread>

#include "CodeReader.h"
#include "QtPrinting.h"
#include "SampleRequest.h"
#include "core/Settings.h"
#include "print/CurrentPrinter.h"
#include "print/FormPrinter.h"
#include "print/PrintError.h"

namespace kestrel {
namespace {

using namespace std::chrono_literals;

const QFont kBaseFont(QStringLiteral("Arial"), 8);

// cups-pdf reads a queue's own settings only from its system folder, named
// after the device URI; the file lives as long as the test's scheduler.
const QString kCupsPdfConfigFolder = QStringLiteral("/etc/cups");

// Waits until `done` holds or the time is up; true when it held.
template <typename Done>
bool waitFor(Done done, std::chrono::seconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(100ms);
  }
  return true;
}

// Runs a CUPS command-line tool against the private scheduler.
QString runTool(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(program, arguments);
  if (!process.waitForFinished(30000)) return program + QStringLiteral(" did not finish");
  if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
    return program + QStringLiteral(" failed: ") + QString::fromLocal8Bit(process.readAll());
  return {};
}

// A CUPS scheduler of the test's own: configuration, spool and socket in a
// temporary folder, stopped by its process ID at the end.
class PrivateCups {
 public:
  PrivateCups()
      : m_queue(QStringLiteral("kestrel-test-%1").arg(QCoreApplication::applicationPid())) {}

  ~PrivateCups() {
    if (m_scheduler.processId() > 0) {
      ::kill(static_cast<pid_t>(m_scheduler.processId()), SIGTERM);
      m_scheduler.waitForFinished(15000);
    }
    QFile::remove(cupsPdfConfig());
  }

  // Starts the scheduler and adds the PDF queue as the default printer;
  // returns what went wrong, or an empty text.
  QString start() {
    const QString started = startWithoutPrinter();
    return started.isEmpty() ? addQueue() : started;
  }

  // Starts the scheduler with no printer at all, as on a machine where none
  // is installed yet; returns what went wrong, or an empty text.
  QString startWithoutPrinter() {
    if (!m_dir.isValid()) return QStringLiteral("no temporary folder");
    // The filters run as the scheduler's unprivileged user and must reach the
    // spool inside the folder.
    QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                            QFile::ReadOther | QFile::ExeOther | QFile::ReadGroup |
                                            QFile::ExeGroup);
    for (const char* folder : {"etc", "spool", "cache", "state", "log", "out"})
      QDir(m_dir.path()).mkpath(folder);
    writeFile(path("cupsd.conf"), QStringLiteral("Listen %1\nLogLevel warn\n"
                                                 "<Location />\n  Order allow,deny\n  Allow all\n"
                                                 "</Location>\n<Location /admin>\n"
                                                 "  Order allow,deny\n  Allow all\n</Location>\n")
                                      .arg(socket()));
    writeFile(path("cups-files.conf"),
              QStringLiteral("ServerRoot %1/etc\nRequestRoot %1/spool\nTempDir %1/spool\n"
                             "CacheDir %1/cache\nStateDir %1/state\nErrorLog %1/log/error_log\n"
                             "AccessLog %1/log/access_log\nPageLog %1/log/page_log\n")
                  .arg(m_dir.path()));
    writeFile(cupsPdfConfig(),
              QStringLiteral("Out %1/out\nSpool %1/spool\nLog %1/log\n").arg(m_dir.path()));
    m_scheduler.setProcessChannelMode(QProcess::ForwardedChannels);
    m_scheduler.start(QStringLiteral("/usr/sbin/cupsd"),
                      {"-f", "-c", path("cupsd.conf"), "-s", path("cups-files.conf")});
    if (!m_scheduler.waitForStarted(10000)) return QStringLiteral("cupsd does not start");
    if (!waitFor([this] { return QFile::exists(socket()); }, 20s))
      return QStringLiteral("cupsd opened no socket");
    // Every CUPS client from here on, the tools and this process's own
    // printer list alike, asks the private scheduler (also after an earlier
    // test's scheduler, which this process's CUPS library remembers).
    qputenv("CUPS_SERVER", QFile::encodeName(socket()));
    cupsSetServer(QFile::encodeName(socket()).constData());
    return {};
  }

  // Installs the PDF queue and makes it the default printer, as an
  // administrator would; returns what went wrong, or an empty text.
  QString addQueue() {
    const QString added =
        runTool("/usr/sbin/lpadmin", {"-p", m_queue, "-E", "-v", "cups-pdf:/" + m_queue, "-P",
                                      "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"});
    if (!added.isEmpty()) return added;
    // cups-pdf turns PostScript back into PDF; made by Ghostscript, that
    // PostScript keeps the glyphs but loses which letters they are, and
    // pdftotext could read nothing. Cairo's keeps both.
    const QString renderer =
        runTool("/usr/sbin/lpadmin", {"-p", m_queue, "-o", "pdftops-renderer-default=pdftocairo"});
    if (!renderer.isEmpty()) return renderer;
    return runTool("/usr/sbin/lpadmin", {"-d", m_queue});
  }

  const QString& queue() const { return m_queue; }
  QString socket() const { return path("cups.sock"); }
  QString outputFolder() const { return path("out"); }

  // Waits for the one finished job of the queue; its PDF, or empty.
  QString waitForPrintedPdf() const {
    QString pdf;
    waitFor(
        [&] {
          const QStringList made = QDir(outputFolder()).entryList({"*.pdf"}, QDir::Files);
          if (made.size() != 1 || hasActiveJobs()) return false;
          pdf = QDir(outputFolder()).filePath(made.first());
          return true;
        },
        90s);
    return pdf;
  }

  bool hasActiveJobs() const {
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, m_queue.toUtf8().constData(), 0,
                                   CUPS_WHICHJOBS_ACTIVE);
    cupsFreeJobs(count, jobs);
    return count != 0;
  }

 private:
  QString path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }
  QString cupsPdfConfig() const {
    return kCupsPdfConfigFolder + QStringLiteral("/cups-pdf-%1.conf").arg(m_queue);
  }
  static void writeFile(const QString& path, const QString& text) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(text.toUtf8());
  }

  QTemporaryDir m_dir;
  QString m_queue;
  QProcess m_scheduler;
};

PrintRequest mailerRequest() {
  PrintRequest request = test::sampleRequest();
  request[slot::kPrintExtraLabel] = "No";
  return request;
}

QString pdfText(const QString& path) {
  QProcess process;
  process.start("pdftotext", {"-layout", path, "-"});
  process.waitForFinished(30000);
  return QString::fromUtf8(process.readAllStandardOutput());
}

// The page's turn as the PDF asks viewers to show it (degrees clockwise).
int pageRotation(const QString& pdf) {
  QProcess process;
  process.start("pdfinfo", {pdf});
  process.waitForFinished(30000);
  const QString info = QString::fromUtf8(process.readAllStandardOutput());
  const QRegularExpressionMatch match =
      QRegularExpression(QStringLiteral("Page rot:\\s*(\\d+)")).match(info);
  return match.hasMatch() ? match.captured(1).toInt() : 0;
}

// The first page at `dpi`, as pdftoppm draws it, turned back to the sheet as
// it lay in the printer: cups-pdf's Ghostscript turns a page whose text
// mostly runs upside down, as the mailer's does, by marking it rotated.
QImage pageImage(const QString& pdf, const QString& prefix, int dpi) {
  QProcess process;
  process.start("pdftoppm", {"-r", QString::number(dpi), "-gray", "-png", "-singlefile", "-f", "1",
                             "-l", "1", pdf, prefix});
  process.waitForFinished(60000);
  return QImage(prefix + QStringLiteral(".png"))
      .transformed(QTransform().rotate(-pageRotation(pdf)));
}

// A new user's machine: Kestrel runs before any printer is installed, so
// the first mailer becomes a PDF file; then a printer is installed and made
// the default, and the next mailer goes to it. (First in this file: the
// other test chooses a printer for the rest of the run.)
TEST(CupsPrinting, APrinterInstalledAfterStartTakesTheNextMailer) {
  PrivateCups cups;
  const QString problem = cups.startWithoutPrinter();
  ASSERT_TRUE(problem.isEmpty()) << problem.toStdString();
  QTemporaryDir program;
  ASSERT_TRUE(program.isValid());
  Settings().ProgramFolder = program.path().toStdString() + "/";
  const QDir printed(program.filePath(QStringLiteral("Printed")));

  ASSERT_FALSE(hasInstalledPrinter());
  EXPECT_EQ(PrintMailer(mailerRequest(), true, kBaseFont), "9214712345678900000015");
  EXPECT_EQ(printed.entryList({"*.pdf"}, QDir::Files).size(), 1);

  const QString added = cups.addQueue();
  ASSERT_TRUE(added.isEmpty()) << added.toStdString();
  EXPECT_EQ(PrintMailer(mailerRequest(), true, kBaseFont), "9214712345678900000015");
  const QString pdf = cups.waitForPrintedPdf();
  ASSERT_FALSE(pdf.isEmpty()) << "no finished job in " << cups.outputFolder().toStdString();
  EXPECT_TRUE(pdfText(pdf).contains("9214 7123 4567 8900 0000 15"));
  EXPECT_EQ(printed.entryList({"*.pdf"}, QDir::Files).size(), 1) << "no second PDF file";
  Settings().ProgramFolder.clear();
}

TEST(CupsPrinting, AMailerGoesAsOneJobToTheDefaultPrinterAndARefusedJobIsAPrintError) {
  PrivateCups cups;
  const QString problem = cups.start();
  ASSERT_TRUE(problem.isEmpty()) << problem.toStdString();

  ASSERT_TRUE(hasInstalledPrinter());
  EXPECT_EQ(printerForNextJob().outputFormat(), QPrinter::NativeFormat);
  EXPECT_EQ(printerForNextJob().printerName(), cups.queue());

  const std::string tNumber = "9214712345678900000015";
  const std::string fNumber = "9290912345678900000019";
  EXPECT_EQ(PrintMailer(mailerRequest(), true, kBaseFont), tNumber);

  const QString pdf = cups.waitForPrintedPdf();
  ASSERT_FALSE(pdf.isEmpty()) << "no finished job in " << cups.outputFolder().toStdString();

  const QString text = pdfText(pdf);
  for (const char* expected : {"9214 7123 4567 8900 0000 15", "9290 9123 4567 8900 0000 19",
                               "SENDER NAME", "RECIPIENT NAME", "RE: Invoice 17", "$ 11.15"})
    EXPECT_TRUE(text.contains(QString::fromLatin1(expected))) << expected;

  // The four Code 128 symbols, where the layout puts them on the sheet.
  constexpr int kDpi = 300;
  const QImage page = pageImage(pdf, QDir(cups.outputFolder()).filePath("page"), kDpi);
  ASSERT_FALSE(page.isNull());
  const struct {
    const std::string& number;
    double x, y, height;  // inches from the sheet's top-left corner
  } symbols[] = {{tNumber, 0.62, 4.1, 0.75},
                 {fNumber, 4.7, 5.0, 0.75},
                 {tNumber, 2.4, 2.06, 0.4},
                 {fNumber, 2.4, 0.4, 0.4}};
  for (const auto& symbol : symbols) {
    const QRect area(static_cast<int>(std::lround((symbol.x - 0.1) * kDpi)),
                     static_cast<int>(std::lround((symbol.y - 0.05) * kDpi)),
                     static_cast<int>(std::lround(2.7 * kDpi)),
                     static_cast<int>(std::lround((symbol.height + 0.1) * kDpi)));
    EXPECT_EQ(test::decodeIn(page, area).text, symbol.number)
        << "symbol at " << symbol.x << ", " << symbol.y;
  }

  // A queue that accepts no jobs refuses the next one: the mailer is not
  // printed, and the caller hears of it.
  ASSERT_EQ(runTool("/usr/sbin/cupsreject", {cups.queue()}), QString());
  try {
    PrintMailer(mailerRequest(), true, kBaseFont);
    ADD_FAILURE() << "a refused job counted as printed";
  } catch (const PrintError& error) {
    EXPECT_NE(std::string(error.what()).find("refused the print job"), std::string::npos)
        << error.what();
  }
  EXPECT_EQ(QDir(QDir::tempPath()).entryList({"kestrel-job-*"}), QStringList())
      << "spool files removed";

  // A PDF file chosen in Printer Setup takes the job, and only a whole file
  // counts as printed there too.
  QTemporaryDir chosen;
  const QString chosenFile = chosen.filePath("chosen.pdf");
  keepChosenPrinter();
  currentPrinter().setOutputFormat(QPrinter::PdfFormat);
  currentPrinter().setOutputFileName(chosenFile);
  EXPECT_EQ(PrintMailer(mailerRequest(), true, kBaseFont), tNumber);
  EXPECT_TRUE(pdfText(chosenFile).contains("9214 7123 4567 8900 0000 15"));
  currentPrinter().setOutputFileName("/dev/full");
  EXPECT_THROW(PrintMailer(mailerRequest(), true, kBaseFont), PrintError);
}

}  // namespace
}  // namespace kestrel
