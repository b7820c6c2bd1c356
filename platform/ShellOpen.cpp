#include "platform/ShellOpen.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace kestrel {

bool shellOpen(const QString& target) {
  // A local file is handed over as a file URL; anything else (web pages,
  // "mailto:" with its unencoded subject) is taken as written.
  const QUrl url = QFileInfo::exists(target)
                       ? QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath())
                       : QUrl(target, QUrl::TolerantMode);
  return QDesktopServices::openUrl(url);
}

}  // namespace kestrel
