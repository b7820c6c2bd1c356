#pragma once

#include <functional>
#include <string>

#include "core/Settings.h"

namespace kestrel {

// The settings file: one per machine, in the machine folder, shared by every
// user and every copy of the program installed there.
inline constexpr const char* kSettingsFileName = "Kestrel3.ini";

// machineFolderPath() + kSettingsFileName.
std::string settingsFilePath();

// Reads every entry into settings, each absent or unreadable one taking its
// default. The brand rule runs only when the stored Company is empty or
// absent (it needs the main window's picture, hence the callback).
// Requires: settings.ProgramFolder is set (the address folder's default).
void loadSettings(SettingsRecord& settings, const std::string& path,
                  const std::function<void()>& applyDefaultBranding);

// Writes every entry in the settings file's order into the file as it is now,
// keeping the lines it does not know. The file is replaced as a whole, so a
// failure leaves it as it was. False when it could not be written.
bool writeSettingsFile(const SettingsRecord& settings, const std::string& path);

}  // namespace kestrel
