#pragma once

#include <QImage>
#include <QString>

namespace kestrel::render {

// Writes the page image as a PNG file, whole or not at all: throws PrintError
// when any byte cannot be written or the file cannot be closed (a full disk
// shows up as either), and then removes the partial file.
void writePngFile(const QImage& page, const QString& path);

}  // namespace kestrel::render
