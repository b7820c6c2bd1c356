#include "platform/ProgramLocale.h"

namespace kestrel {

QLocale programLocaleFor(const QLocale& system) {
  if (system.language() == QLocale::C) return QLocale(QLocale::English, QLocale::UnitedStates);
  return system;
}

QLocale programLocale() {
  return programLocaleFor(QLocale::system());
}

void useProgramLocale() {
  QLocale::setDefault(programLocale());
}

}  // namespace kestrel
