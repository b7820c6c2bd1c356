#include "platform/ShellOpen.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace kestrel {

bool shellOpen(const QString& target) {
  // A local file is handed over as a file URL; a bare "www." address is a web
  // page, as the Windows shell took it; anything else (web pages, "mailto:"
  // with its unencoded subject) is taken as written.
  if (target.startsWith(QLatin1String("www."), Qt::CaseInsensitive)) {
    return QDesktopServices::openUrl(QUrl(QLatin1String("http://") + target, QUrl::TolerantMode));
  }
  const QUrl url = QFileInfo::exists(target)
                       ? QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath())
                       : QUrl(target, QUrl::TolerantMode);
  return QDesktopServices::openUrl(url);
}

}  // namespace kestrel
