#include "dialogs/HelpWindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/ShellOpen.h"

namespace kestrel {

HelpWindow::HelpWindow(const QString& helpFile, QWidget* parent)
    : QDialog(parent), m_browser(new QTextBrowser(this)) {
  setObjectName(QStringLiteral("HelpWindow"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(m_browser);
  // Pages of the help open in the window; web and mail links go to the shell.
  m_browser->setOpenLinks(false);
  connect(m_browser, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
    if (link.isLocalFile() || link.isRelative())
      m_browser->setSource(m_browser->source().resolved(link));
    else
      shellOpen(link.toString());
  });
  m_browser->setSource(QUrl::fromLocalFile(helpFile));
  setWindowTitle(m_browser->documentTitle().isEmpty() ? QStringLiteral("Help")
                                                      : m_browser->documentTitle());
  // A comfortable reading size that still fits a small screen.
  QSize size(640, 560);
  if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
    size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
  resize(size);
}

}  // namespace kestrel
