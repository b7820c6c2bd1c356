#pragma once

#include <QString>
#include <stdexcept>
#include <string>

#include "platform/AnsiText.h"

namespace kestrel {

// A page device refused or lost a print job. The form printer shows no
// messages; the command around it decides what the user sees. The message is
// Windows-1252 text, like every other text of the core.
class PrintError : public std::runtime_error {
 public:
  explicit PrintError(const char* message) : std::runtime_error(message) {}
  explicit PrintError(const std::string& message) : std::runtime_error(message) {}
  explicit PrintError(const QString& message) : std::runtime_error(toAnsi(message)) {}
};

}  // namespace kestrel
