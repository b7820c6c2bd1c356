#include "dbase/DataSet.h"

#include <algorithm>
#include <exception>

#include "dbase/AsciiText.h"

namespace kestrel {

bool sameFieldName(const std::string& a, const std::string& b) {
  return sameAsciiName(a, b);
}

DataSet::~DataSet() = default;

int DataSet::addListener(Listener listener) {
  m_listeners.push_back({m_nextId, std::move(listener)});
  return m_nextId++;
}

void DataSet::removeListener(int id) {
  std::erase_if(m_listeners, [id](const Entry& entry) { return entry.id == id; });
}

void DataSet::notify(DataSetEvent event, bool unwinding) {
  // A copy, so that a listener may remove itself or another.
  const std::vector<Entry> listeners = m_listeners;
  for (const Entry& entry : listeners) {
    if (!unwinding) {
      entry.listener(event);
      continue;
    }
    // The error already on its way matters more than one from a listener.
    try {
      entry.listener(event);
    } catch (...) {
    }
  }
}

DataSet::Notice::Notice(DataSet& dataSet, DataSetEvent event)
    : m_dataSet(dataSet), m_event(event), m_exceptions(std::uncaught_exceptions()) {
  ++m_dataSet.m_depth;
}

DataSet::Notice::~Notice() noexcept(false) {
  if (--m_dataSet.m_depth != 0) return;
  m_dataSet.notify(m_event, std::uncaught_exceptions() > m_exceptions);
}

}  // namespace kestrel
