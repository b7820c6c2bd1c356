#pragma once

#include <string>

namespace kestrel {

// The folder of the running executable, always ending in a path separator.
// Every data file of an installation is found from it.
std::string programFolderPath();

// The machine-wide folder that holds the settings file, the stand-in of the
// Windows directory: /var/lib/kestrel/ on Linux, created (shared, mode 0777)
// when missing. Always ends in a path separator.
std::string machineFolderPath();

// Makes the folder (and its parents) when missing and opens it to every user
// of the machine (mode 0777, like a shared folder), whoever made it first, so
// that files of one user never lock out another. Returns false when the
// folder does not exist afterwards; a folder whose mode cannot be changed
// (another user's) is left as it is.
bool makeSharedFolder(const std::string& folder);

// Tests hand in a temporary folder instead; an empty text restores the real one.
void setMachineFolderForTests(const std::string& folder);

}  // namespace kestrel
