#pragma once

// A CUPS scheduler of the test's own: configuration, spool and socket in a
// temporary folder, stopped by its process ID at the end. Every CUPS client
// of the test process (the program's printer list and jobs, the CUPS tools)
// asks it once it runs. Needs root, like CI, for cupsd.
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <chrono>
#include <functional>

namespace kestrel::test {

// Waits until `done` holds or the time is up; true when it held.
bool waitFor(const std::function<bool()>& done, std::chrono::seconds limit);

// Runs a program (a CUPS tool) and returns what went wrong, or an empty text.
QString runTool(const QString& program, const QStringList& arguments);

class PrivateCups {
 public:
  PrivateCups();
  ~PrivateCups();
  PrivateCups(const PrivateCups&) = delete;
  PrivateCups& operator=(const PrivateCups&) = delete;

  // Starts the scheduler and adds the cups-pdf queue as the default printer;
  // returns what went wrong, or an empty text.
  QString start();
  // Starts the scheduler with no printer at all, as on a machine where none
  // is installed yet; returns what went wrong, or an empty text.
  QString startWithoutPrinter();
  // Installs the cups-pdf queue (its PDF files land in outputFolder()) and
  // makes it the default printer, as an administrator would.
  QString addQueue();
  // Installs a two-sided PDF printer that throws its jobs away, and makes it
  // the default printer: for tests that count what reached the printer and
  // read the jobs' attributes.
  QString addDiscardingQueue();

  // The queue's switches, as an administrator flips them: cupsreject /
  // cupsaccept (jobs refused or taken) and cupsdisable / cupsenable (the
  // queue stopped or printing). Each returns what went wrong, or empty.
  QString refuseJobs() { return runTool("/usr/sbin/cupsreject", {m_queue}); }
  QString acceptJobs() { return runTool("/usr/sbin/cupsaccept", {m_queue}); }
  QString stop() { return runTool("/usr/sbin/cupsdisable", {m_queue}); }
  QString restart() { return runTool("/usr/sbin/cupsenable", {m_queue}); }

  const QString& queue() const { return m_queue; }
  QString socket() const;
  QString outputFolder() const;

  // Waits for the one finished job of the queue; its PDF, or empty.
  QString waitForPrintedPdf() const;
  bool hasActiveJobs() const;
  // Every job the queue ever took, finished or not.
  int jobsTaken() const;
  // An attribute of the queue's latest job as IPP spells it ("copies":
  // "2"), or empty.
  QString lastJobAttribute(const char* name) const;

 private:
  QString path(const char* name) const;
  QString cupsPdfConfig() const;

  QTemporaryDir m_dir;
  QString m_queue;
  QProcess m_scheduler;
};

}  // namespace kestrel::test
