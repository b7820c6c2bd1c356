#include "core/Settings.h"

namespace kestrel {

SettingsRecord& Settings() {
  static SettingsRecord record;
  return record;
}

}  // namespace kestrel
