#pragma once

#include <stdexcept>
#include <string>

namespace kestrel {

// A page device refused or lost a print job. The form printer shows no
// messages; the command around it decides what the user sees.
class PrintError : public std::runtime_error {
 public:
  explicit PrintError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace kestrel
