#pragma once

#include <string>

#include "core/Settings.h"

namespace kestrel {

// Writes the settings file (writeSettingsFile); on failure shows "Unable to
// write to <path>" and returns false: the caller (closing the main window)
// then stays open.
bool saveSettings(const SettingsRecord& settings, const std::string& path);

// The message of a failed write, for callers that write the file their own
// way (the print flow writes the numbering state after every mailer).
void showSettingsWriteFailure(const std::string& path);

}  // namespace kestrel
