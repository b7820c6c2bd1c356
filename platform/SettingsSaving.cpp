#include "platform/SettingsSaving.h"

#include <QString>

#include "core/Folders.h"
#include "core/SettingsFile.h"
#include "platform/AnsiText.h"
#include "platform/LocalPath.h"
#include "platform/UserInteraction.h"

namespace kestrel {

void showSettingsWriteFailure(const std::string& path) {
  QString text = QStringLiteral("Unable to write to %1").arg(fromLocalPath(path));
  // A user outside the group that shares the machine folder also learns
  // which group to join.
  if (const std::string refusal = writeRefusal(path); !refusal.empty())
    text += QLatin1Char('\n') + fromAnsi(refusal);
  showError(text);
}

bool saveSettings(const SettingsRecord& settings, const std::string& path) {
  if (writeSettingsFile(settings, path)) return true;
  showSettingsWriteFailure(path);
  return false;
}

}  // namespace kestrel
