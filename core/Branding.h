#pragma once

#include <functional>
#include <string>

#include "core/Settings.h"

namespace kestrel {

// The two identities an installation can carry (the Settings field Company).
inline constexpr const char* kBrightwater = "Brightwater";  // the maker
inline constexpr const char* kHarrowgate = "Harrowgate";    // the reseller
// The reseller's picture in the program folder; its presence picks the brand.
inline constexpr const char* kLogoFileName = "Scr_logo.bmp";

std::string logoFilePath(const SettingsRecord& settings);

// The brand rule for an installation without a stored brand: "Harrowgate"
// when the logo file exists and loadLogo (the main window loading it into its
// company picture) succeeds, "Brightwater" otherwise.
void applyDefaultBranding(SettingsRecord& settings,
                          const std::function<bool(const std::string& logoPath)>& loadLogo);

}  // namespace kestrel
