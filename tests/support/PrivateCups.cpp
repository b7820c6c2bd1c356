#include "PrivateCups.h"

#include <cups/cups.h>
#include <signal.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <thread>

namespace kestrel::test {

namespace {

using namespace std::chrono_literals;

// cups-pdf reads a queue's own settings only from its system folder, named
// after the device URI; the file lives as long as the test's scheduler.
const QString kCupsPdfConfigFolder = QStringLiteral("/etc/cups");

void writeFile(const QString& path, const QString& text) {
  QFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(text.toUtf8());
}

}  // namespace

bool waitFor(const std::function<bool()>& done, std::chrono::seconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(100ms);
  }
  return true;
}

QString runTool(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(program, arguments);
  if (!process.waitForFinished(30000)) return program + QStringLiteral(" did not finish");
  if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
    return program + QStringLiteral(" failed: ") + QString::fromLocal8Bit(process.readAll());
  return {};
}

PrivateCups::PrivateCups()
    : m_queue(QStringLiteral("kestrel-test-%1").arg(QCoreApplication::applicationPid())) {}

PrivateCups::~PrivateCups() {
  if (m_scheduler.processId() > 0) {
    ::kill(static_cast<pid_t>(m_scheduler.processId()), SIGTERM);
    m_scheduler.waitForFinished(15000);
  }
  QFile::remove(cupsPdfConfig());
}

QString PrivateCups::start() {
  const QString started = startWithoutPrinter();
  return started.isEmpty() ? addQueue() : started;
}

QString PrivateCups::startWithoutPrinter() {
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
  // FileDevice lets a queue print into /dev/null (addDiscardingQueue).
  writeFile(path("cups-files.conf"),
            QStringLiteral("ServerRoot %1/etc\nRequestRoot %1/spool\nTempDir %1/spool\n"
                           "CacheDir %1/cache\nStateDir %1/state\nErrorLog %1/log/error_log\n"
                           "AccessLog %1/log/access_log\nPageLog %1/log/page_log\n"
                           "FileDevice Yes\n")
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

QString PrivateCups::addQueue() {
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

QString PrivateCups::addDiscardingQueue() {
  // A generic PDF printer (of cups-filters, which cups brings) that prints
  // on both sides, so that a job's "sides" stays as it was asked for.
  const QString added =
      runTool("/usr/sbin/lpadmin", {"-p", m_queue, "-E", "-v", "file:///dev/null", "-P",
                                    "/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd"});
  return added.isEmpty() ? runTool("/usr/sbin/lpadmin", {"-d", m_queue}) : added;
}

QString PrivateCups::path(const char* name) const {
  return m_dir.filePath(QString::fromLatin1(name));
}

QString PrivateCups::cupsPdfConfig() const {
  return kCupsPdfConfigFolder + QStringLiteral("/cups-pdf-%1.conf").arg(m_queue);
}

QString PrivateCups::socket() const {
  return path("cups.sock");
}

QString PrivateCups::outputFolder() const {
  return path("out");
}

QString PrivateCups::waitForPrintedPdf() const {
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

bool PrivateCups::hasActiveJobs() const {
  cups_job_t* jobs = nullptr;
  const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, m_queue.toUtf8().constData(), 0,
                                 CUPS_WHICHJOBS_ACTIVE);
  cupsFreeJobs(count, jobs);
  return count != 0;
}

int PrivateCups::jobsTaken() const {
  cups_job_t* jobs = nullptr;
  const int count =
      cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, m_queue.toUtf8().constData(), 0, CUPS_WHICHJOBS_ALL);
  cupsFreeJobs(count, jobs);
  return count;
}

QString PrivateCups::lastJobAttribute(const char* name) const {
  cups_job_t* jobs = nullptr;
  const int count =
      cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, m_queue.toUtf8().constData(), 0, CUPS_WHICHJOBS_ALL);
  int latest = 0;
  for (int i = 0; i < count; ++i) latest = std::max(latest, jobs[i].id);
  cupsFreeJobs(count, jobs);
  if (latest == 0) return {};
  ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
  const QByteArray uri = "ipp://localhost/jobs/" + QByteArray::number(latest);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.constData());
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
               cupsUser());
  ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
  QString value;
  if (ipp_attribute_t* attribute = ippFindAttribute(response, name, IPP_TAG_ZERO)) {
    char text[1024];
    ippAttributeString(attribute, text, sizeof text);
    value = QString::fromUtf8(text);
  }
  ippDelete(response);
  return value;
}

}  // namespace kestrel::test
