#pragma once

namespace kestrel {

// Connects the storage layer, which knows no Qt, to the program at start-up:
// its warnings become plain message boxes of the user-interaction service
// (application title, no icon, OK), and it learns the system's short date
// format, in which date fields are read and written.
void connectStorageLayer();

}  // namespace kestrel
