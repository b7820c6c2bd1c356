#include "platform/LocalPath.h"

#include <QByteArray>
#include <QFile>

namespace kestrel {

QString fromLocalPath(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string toLocalPath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

}  // namespace kestrel
