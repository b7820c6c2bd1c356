#pragma once

#include <optional>
#include <string>

namespace kestrel {

// The stand-in of a program file's version resource: whether the program
// carries one at all, and its "FileVersion" value if the value is there.
struct VersionResource {
  bool present = false;
  std::optional<std::string> fileVersion;
};

// The version the build stamped into this program.
VersionResource programVersionResource();

}  // namespace kestrel
