#include "core/Branding.h"

#include <filesystem>
#include <system_error>

namespace kestrel {

std::string logoFilePath(const SettingsRecord& settings) {
  return settings.ProgramFolder + kLogoFileName;
}

void applyDefaultBranding(SettingsRecord& settings,
                          const std::function<bool(const std::string& logoPath)>& loadLogo) {
  const std::string logo = logoFilePath(settings);
  std::error_code error;
  if (std::filesystem::is_regular_file(logo, error) && loadLogo(logo)) {
    settings.Company = kHarrowgate;
  }
  if (settings.Company.empty()) settings.Company = kBrightwater;
}

}  // namespace kestrel
