#include "PngFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>

#include "platform/LocalPath.h"
#include "print/PdfFileCheck.h"
#include "print/PrintError.h"

namespace kestrel::render {

void writePngFile(const QImage& page, const QString& path) {
  // Encoded in memory first: QImage::save would hide a failed write behind
  // the file's buffering and report success.
  QByteArray png;
  QBuffer buffer(&png);
  if (!buffer.open(QIODevice::WriteOnly) || !page.save(&buffer, "PNG"))
    throw PrintError(QStringLiteral("cannot encode the page for \"%1\"").arg(path));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
    throw PrintError(QStringLiteral("cannot write \"%1\": %2").arg(path, file.errorString()));
  const bool written = file.write(png) == png.size() && file.flush();
  file.close();
  if (written && file.error() == QFileDevice::NoError) return;
  const QString reason = file.errorString();
  removePartialOutput(toLocalPath(path));
  throw PrintError(QStringLiteral("cannot write \"%1\" completely: %2").arg(path, reason));
}

}  // namespace kestrel::render
