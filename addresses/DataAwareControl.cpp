#include "addresses/DataAwareControl.h"

namespace kestrel {

DataAwareControl::~DataAwareControl() {
  if (m_source) m_source->removeControl(*this);
}

void DataAwareControl::bind(DataSource& source, std::string fieldName) {
  if (m_source) m_source->removeControl(*this);
  m_source = &source;
  m_fieldName = std::move(fieldName);
  m_source->addControl(*this);
}

void DataAwareControl::changedByEditing() {
  if (m_loading || !m_source) return;
  m_source->controlChanged(*this);
}

}  // namespace kestrel
