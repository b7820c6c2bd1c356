#include "core/InfoOptions.h"

#include <string_view>

namespace kestrel {

std::string packageVersion() {
  return KESTREL_PACKAGE_VERSION;
}

bool answerInfoOption(int argc, const char* const* argv, const std::string& command,
                      const std::string& help, std::ostream& out) {
  if (argc != 2) return false;
  const std::string_view option = argv[1];
  if (option == "--help") {
    out << help;
  } else if (option == "--version") {
    out << command << ' ' << packageVersion() << '\n';
  } else {
    return false;
  }
  out.flush();
  return true;
}

}  // namespace kestrel
