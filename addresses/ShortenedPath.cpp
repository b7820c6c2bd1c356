#include "addresses/ShortenedPath.h"

namespace kestrel {

QString shortenedPath(const QString& path, const std::function<int(const QString&)>& width,
                      int maxWidth, int fitWidth) {
  if (width(path) <= maxWidth) return path;
  QString shown = path;
  // The prefix is added after the loop, so a text that fits `fitWidth` may
  // still end up a little wider: the gap between the two widths is its room.
  while (width(shown) > fitWidth && shown.contains(QLatin1Char('/')))
    shown.remove(0, shown.indexOf(QLatin1Char('/')) + 1);
  return QStringLiteral(".../") + shown;
}

}  // namespace kestrel
