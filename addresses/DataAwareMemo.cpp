#include "addresses/DataAwareMemo.h"

#include <vector>

#include "addresses/DataSource.h"
#include "dbase/DataSet.h"
#include "platform/AnsiText.h"

namespace kestrel {

DataAwareMemo::DataAwareMemo(QWidget* parent) : MemoEdit(parent) {
  connect(this, &MemoEdit::linesChanged, this, [this] { changedByEditing(); });
}

void DataAwareMemo::loadFromRecord(DataSet* dataSet) {
  m_loading = true;
  QStringList lines;
  if (dataSet) {
    std::vector<std::string> stored;
    dataSet->GetMField(fieldName(), stored);
    for (const std::string& line : stored) lines << fromAnsi(line);
  }
  setPlainText(lines.join(QLatin1Char('\n')));
  setReadOnly(dataSet == nullptr);
  m_loading = false;
}

void DataAwareMemo::storeIntoRecord(DataSet& dataSet) {
  std::vector<std::string> lines;
  for (const QString& line : toPlainText().split(QLatin1Char('\n'))) lines.push_back(toAnsi(line));
  // An empty memo is no lines, not one empty line.
  if (lines.size() == 1 && lines.front().empty()) lines.clear();
  dataSet.SetMField(fieldName(), lines);
}

}  // namespace kestrel
