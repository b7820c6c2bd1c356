#include "core/ZipCode.h"

namespace kestrel {
namespace {

// Blanks as the field's trimming sees them: space and every control character.
std::string trimmed(const std::string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
  return text.substr(begin, end - begin);
}

}  // namespace

std::string CleanZip(const std::string& text) {
  std::string zip = trimmed(text);
  if (zip == "-") return {};
  const std::size_t hyphen = zip.find('-');
  if (hyphen == std::string::npos) return zip;
  if (hyphen + 1 == zip.size()) return zip.substr(0, hyphen);
  if (hyphen == 0) return trimmed(zip.substr(1));
  return zip;
}

}  // namespace kestrel
