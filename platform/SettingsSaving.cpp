#include "platform/SettingsSaving.h"

#include <QString>

#include "core/SettingsFile.h"
#include "platform/UserInteraction.h"

namespace kestrel {

void showSettingsWriteFailure(const std::string& path) {
  showError(QStringLiteral("Unable to write to %1").arg(QString::fromLocal8Bit(path.c_str())));
}

bool saveSettings(const SettingsRecord& settings, const std::string& path) {
  if (writeSettingsFile(settings, path)) return true;
  showSettingsWriteFailure(path);
  return false;
}

}  // namespace kestrel
