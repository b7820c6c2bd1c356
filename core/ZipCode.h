#pragma once

#include <string>

namespace kestrel {

// Tidies the text of a masked ZIP Code field ("99999\-9999"): a ZIP Code of
// five digits loses the lone hyphen, an empty field ("     -    ") becomes
// empty, a field holding only the four-digit extension gives those digits;
// anything else comes back trimmed but otherwise unchanged.
std::string CleanZip(const std::string& text);

}  // namespace kestrel
