#include "platform/CommandRunner.h"

#include <exception>

#include "platform/AnsiText.h"
#include "platform/UserInteraction.h"

namespace kestrel {

bool runCommand(const std::function<void()>& command) {
  try {
    command();
    return true;
  } catch (const std::exception& error) {
    // Messages of the core (storage errors name files) are Windows-1252.
    showError(fromAnsi(error.what()));
  } catch (...) {
    showError(QStringLiteral("Unknown error"));
  }
  return false;
}

}  // namespace kestrel
