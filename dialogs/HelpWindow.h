#pragma once

#include <QDialog>

class QTextBrowser;

namespace kestrel {

// The program's own viewer of its HTML help file, for a machine where no
// browser takes the file: a resizable window that shows the page and
// follows its links within the help, handing other links to the shell.
// It is not modal, so the help can stay open beside the main window.
class HelpWindow : public QDialog {
  Q_OBJECT
 public:
  HelpWindow(const QString& helpFile, QWidget* parent);

  QTextBrowser* browser() const { return m_browser; }

 private:
  QTextBrowser* m_browser;
};

}  // namespace kestrel
