#include "addresses/DataSource.h"

#include <algorithm>
#include <exception>

#include "addresses/DataAwareControl.h"
#include "dbase/DataSet.h"
#include "platform/AnsiText.h"

namespace kestrel {

DataSource::DataSource(ErrorReporter reportError, QObject* parent)
    : QObject(parent), m_reportError(std::move(reportError)) {}

DataSource::~DataSource() {
  if (m_dataSet) m_dataSet->removeListener(m_listenerId);
}

void DataSource::setDataSet(DataSet* dataSet, TableActions actions) {
  if (m_dataSet) m_dataSet->removeListener(m_listenerId);
  m_dataSet = dataSet;
  m_actions = std::move(actions);
  m_listenerId = 0;
  if (m_dataSet) m_listenerId = m_dataSet->addListener([this](DataSetEvent) { dataSetEvent(); });
  reloadControls();
  tellObservers();
}

bool DataSource::active() const {
  return m_dataSet && m_dataSet->Active();
}

void DataSource::addControl(DataAwareControl& control) {
  m_controls.push_back(&control);
  control.loadFromRecord(active() ? m_dataSet : nullptr);
}

void DataSource::removeControl(DataAwareControl& control) {
  std::erase(m_controls, &control);
}

bool DataSource::controlChanged(DataAwareControl& control) {
  if (!active()) {
    control.loadFromRecord(nullptr);
    return false;
  }
  control.m_modified = true;
  if (m_dataSet->State() != TDataSetState::dsBrowse) return true;
  m_enteringEdit = true;
  try {
    m_dataSet->Edit();
  } catch (...) {
    m_enteringEdit = false;
    throw;
  }
  m_enteringEdit = false;
  return true;
}

void DataSource::updateRecord() {
  if (!active()) return;
  for (DataAwareControl* control : m_controls) {
    if (!control->modified()) continue;
    if (m_dataSet->State() == TDataSetState::dsBrowse) m_dataSet->Edit();
    control->storeIntoRecord(*m_dataSet);
    control->m_modified = false;
  }
}

void DataSource::postPending() {
  if (!active()) return;
  updateRecord();
  if (m_dataSet->State() != TDataSetState::dsBrowse) m_dataSet->Post();
}

void DataSource::reloadControls() {
  DataSet* shown = active() ? m_dataSet : nullptr;
  QString failure;
  for (DataAwareControl* control : m_controls) {
    control->m_modified = false;
    try {
      control->loadFromRecord(shown);
    } catch (const std::exception& e) {
      // The control stays empty; the first failure is told once.
      control->loadFromRecord(nullptr);
      if (failure.isEmpty()) failure = fromAnsi(e.what());
    }
  }
  if (!failure.isEmpty() && m_reportError) m_reportError(failure);
}

int DataSource::addObserver(std::function<void()> observer) {
  m_observers.push_back({m_nextObserverId, std::move(observer)});
  return m_nextObserverId++;
}

void DataSource::removeObserver(int id) {
  std::erase_if(m_observers, [id](const Observer& o) { return o.id == id; });
}

void DataSource::tellObservers() {
  for (const Observer& observer : m_observers) observer.call();
}

void DataSource::dataSetEvent() {
  // Entering edit state changes no value: the typed text stays as it is.
  if (!m_enteringEdit) reloadControls();
  tellObservers();
}

}  // namespace kestrel
