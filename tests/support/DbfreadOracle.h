#pragma once

// A table as an independent reader sees it: python3-dbfread (Debian's, under
// the system Python) reads the file and hands back fields and records, memo
// texts included, so that tests check what was written without the storage
// layer that wrote it.
#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <vector>

#include "TestPaths.h"

namespace kestrel::test {

struct DbfreadTable {
  QStringList fields;  // "name:type:length", names in lower case
  std::vector<QStringList> records;
  std::vector<QStringList> deleted;
  QString error;  // the reader's complaint, empty when it read the file
};

inline DbfreadTable readWithDbfread(const QString& tablePath) {
  QProcess reader;
  reader.start(QString::fromLatin1(kSystemPython),
               {QStringLiteral(KESTREL_SUPPORT_DIR "/read_table.py"), tablePath});
  DbfreadTable table;
  if (!reader.waitForFinished(30000) || reader.exitCode() != 0) {
    table.error = QString::fromUtf8(reader.readAllStandardError());
    if (table.error.isEmpty()) table.error = QStringLiteral("python3-dbfread did not finish");
    return table;
  }
  const QJsonObject root = QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
  for (const QJsonValue& field : root[QStringLiteral("fields")].toArray()) {
    const QJsonArray f = field.toArray();
    table.fields
        << QStringLiteral("%1:%2:%3").arg(f[0].toString(), f[1].toString()).arg(f[2].toInt());
  }
  const auto rows = [](const QJsonValue& list) {
    std::vector<QStringList> result;
    for (const QJsonValue& record : list.toArray()) {
      QStringList values;
      for (const QJsonValue& value : record.toArray()) values << value.toString();
      result.push_back(values);
    }
    return result;
  };
  table.records = rows(root[QStringLiteral("records")]);
  table.deleted = rows(root[QStringLiteral("deleted")]);
  return table;
}

}  // namespace kestrel::test
