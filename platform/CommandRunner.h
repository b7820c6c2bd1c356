#pragma once

#include <functional>

namespace kestrel {

// Runs one user command. Exceptions never cross Qt's event loop: anything a
// command throws (storage errors included) ends the command here and is shown
// in the general error display (application title, error icon, the message).
// Returns false when the command ended with an error.
bool runCommand(const std::function<void()>& command);

}  // namespace kestrel
