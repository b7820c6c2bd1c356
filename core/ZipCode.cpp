#include "core/ZipCode.h"

#include "core/Blanks.h"

namespace kestrel {
std::string CleanZip(const std::string& text) {
  std::string zip = trimBlanks(text);
  if (zip == "-") return {};
  const std::size_t hyphen = zip.find('-');
  if (hyphen == std::string::npos) return zip;
  if (hyphen + 1 == zip.size()) return zip.substr(0, hyphen);
  if (hyphen == 0) return trimBlanks(zip.substr(1));
  return zip;
}

}  // namespace kestrel
