#pragma once

#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <string>

class QPrinter;
class QWidget;

namespace kestrel {

class DataSet;
struct ReportLayout;

// The choices a user may make before a report is printed (the engine's own
// names). With none allowed, the report goes out without a question.
enum SetupChoice : unsigned {
  ssAllowSetup = 1u << 0,  // show the output-options dialog at all
  ssAllowCopies = 1u << 1,
  ssAllowCollate = 1u << 2,
  ssAllowDuplex = 1u << 3,
  ssAllowDestPreview = 1u << 4,
  ssAllowDestPrinter = 1u << 5,
  ssAllowDestFile = 1u << 6,
  ssAllowPrinterSetup = 1u << 7,
  ssAllowPreviewSetup = 1u << 8,
};

enum class ReportDestination { rdPreview, rdPrinter };

// The texts of the engine's windows and print job.
struct ReportSystemTexts {
  QString outputOptionsTitle = QStringLiteral("Output Options");
  QString statusTitle = QStringLiteral("Report Status");
  QString previewTitle = QStringLiteral("Report Preview");
  QString generatingText = QStringLiteral("Generating page %p");  // %p: the page number
  QString printingText = QStringLiteral("Printing page %p");
  QString jobTitle = QStringLiteral("ReportPrinter Report");
};

// The report engine as the program drives it: a project file of report
// layouts (report/FORMAT.md), a destination with the setup choices the user
// is allowed, named text parameters and a data connection; then a named
// report is run over the connected data set in its current order.
//
// Every question and window goes through the user-interaction service
// (platform/UserInteraction.h), so that tests play the user.
class ReportProject {
 public:
  ReportProject();
  ~ReportProject();
  ReportProject(const ReportProject&) = delete;
  ReportProject& operator=(const ReportProject&) = delete;

  void setProjectFile(std::string path) { m_projectFile = std::move(path); }
  const std::string& projectFile() const { return m_projectFile; }

  void setDestination(ReportDestination destination) { m_destination = destination; }
  ReportDestination destination() const { return m_destination; }
  void setSetupChoices(unsigned choices) { m_choices = choices; }
  unsigned setupChoices() const { return m_choices; }

  void setTexts(ReportSystemTexts texts) { m_texts = std::move(texts); }
  const ReportSystemTexts& texts() const { return m_texts; }

  // The printer reports go to. `prepareJob` runs just before a job opens on
  // a PDF writer (it names the job's file there); the job's printer then
  // takes that printer's file.
  // Requires: the printer outlives the project.
  void setPrinter(QPrinter* printer, std::function<void()> prepareJob = {});

  // The data set a layout's connection of this name reads from (not owned).
  void setConnection(std::string name, DataSet* data);

  // Loads the project file. Throws ReportError naming the file (and the
  // line) when it is missing or malformed.
  void open();
  bool isOpen() const { return m_layout != nullptr; }
  // Forgets the loaded layout and the parameters; harmless when not open.
  void close();

  // Requires: open. Texts are the program's (Windows-1252).
  void setParameter(const std::string& name, const std::string& text);

  // Runs the report of this name to the destination. A name the project
  // lacks produces nothing and raises nothing; so does a cancel in the
  // output options or the status window. Throws ReportError when the report
  // cannot be produced (its field is missing), PrintError when the printer
  // refuses it or its file is not written whole, and the data set's own
  // errors.
  void executeReport(const std::string& name);

  // Where the engine's windows appear (may be null).
  void setParentWidget(QWidget* parent) { m_parent = parent; }

 private:
  // The printer of one job, after the output options when they are
  // allowed; null when the user cancelled them.
  std::unique_ptr<QPrinter> askPrinter(unsigned choices);
  void print(class ReportDocument& document, QPrinter& printer);

  std::string m_projectFile;
  ReportDestination m_destination = ReportDestination::rdPreview;
  unsigned m_choices = 0;
  ReportSystemTexts m_texts;
  QPrinter* m_printer = nullptr;
  std::function<void()> m_prepareJob;
  std::string m_connectionName;
  DataSet* m_data = nullptr;
  std::unique_ptr<ReportLayout> m_layout;
  std::map<std::string, std::string> m_parameters;
  QWidget* m_parent = nullptr;
};

}  // namespace kestrel
