#pragma once

#include <functional>
#include <string>

namespace kestrel {

// The storage layer's warnings are plain message boxes that do not stop the
// operation ("Lock failed [%s]", "Could not create "%s"" ...). The program
// connects its message service here; until then they go to standard error.
using TableWarningHandler =
    std::function<void(const std::string& caption, const std::string& text)>;

// Installs the handler; an empty function restores the default.
void SetWarningHandler(TableWarningHandler handler);

// Shows one warning through the installed handler (the caption is empty: the
// program uses its own title for plain message boxes).
void showTableWarning(const std::string& text);

}  // namespace kestrel
