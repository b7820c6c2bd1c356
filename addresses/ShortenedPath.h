#pragma once

#include <QString>
#include <functional>

namespace kestrel {

// Shortens a file path for a label of limited width: a path wider than
// `maxWidth` loses whole leading folders (up to and including each first
// separator "/") while it is wider than `fitWidth` and still holds a
// separator, and then shows ".../" in front of what is left. A path that
// fits is shown whole. `width` measures a text in pixels in the label's font.
QString shortenedPath(const QString& path, const std::function<int(const QString&)>& width,
                      int maxWidth, int fitWidth);

}  // namespace kestrel
