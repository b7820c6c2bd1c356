#include "dbase/CloseOnExit.h"

#include "dbase/TTzDbf.h"

namespace kestrel {

CloseOnExit::~CloseOnExit() {
  try {
    m_table.Close();
  } catch (...) {
  }
}

}  // namespace kestrel
