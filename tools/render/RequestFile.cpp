#include "RequestFile.h"

#include <QFile>
#include <vector>

namespace kestrel::render {

namespace {
// Far more than 28 lines of any sane request; a bigger file is a mistake.
constexpr qint64 kMaxRequestFileBytes = 1 << 20;
}  // namespace

std::optional<PrintRequest> readRequestFile(const QString& path, QString& error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    error = QStringLiteral("cannot read the request file \"%1\": %2").arg(path, file.errorString());
    return std::nullopt;
  }
  // Devices and pipes report no size (and /dev/zero never ends), so the
  // limit is kept by reading, never by trusting the reported size: one byte
  // more than the limit tells a file that is too big.
  const QByteArray bytes = file.read(kMaxRequestFileBytes + 1);
  if (bytes.size() > kMaxRequestFileBytes) {
    error = QStringLiteral("the request file \"%1\" is larger than 1 MB").arg(path);
    return std::nullopt;
  }
  if (file.error() != QFileDevice::NoError) {
    error = QStringLiteral("cannot read the request file \"%1\": %2").arg(path, file.errorString());
    return std::nullopt;
  }
  std::vector<std::string> lines;
  qsizetype start = 0;
  while (start < bytes.size()) {
    qsizetype end = bytes.indexOf('\n', start);
    if (end < 0) end = bytes.size();
    qsizetype stop = end;
    if (stop > start && bytes[stop - 1] == '\r') --stop;
    lines.emplace_back(bytes.constData() + start, static_cast<std::size_t>(stop - start));
    start = end + 1;
  }
  PrintRequest request;
  while (lines.size() > request.size() && lines.back().empty()) lines.pop_back();
  if (lines.size() != request.size()) {
    error = QStringLiteral("the request file \"%1\" holds %2 lines; a print request has %3")
                .arg(path)
                .arg(lines.size())
                .arg(request.size());
    return std::nullopt;
  }
  for (std::size_t i = 0; i < request.size(); ++i) request[i] = std::move(lines[i]);
  return request;
}

}  // namespace kestrel::render
