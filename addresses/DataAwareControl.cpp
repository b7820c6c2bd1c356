#include "addresses/DataAwareControl.h"

#include "platform/CommandRunner.h"

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
  // Called from a text-change signal: an error of the data set ends here, in
  // the general error display, and never crosses the event loop.
  runCommand([this] { m_source->controlChanged(*this); });
}

}  // namespace kestrel
