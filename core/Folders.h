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

// Makes a data folder of the program folder ("Reports", "Printed",
// "Addresses") when missing and shares it with every user of the machine
// (mode 0777), like the machine folder: whoever prints first must not lock
// the others out. Only the folder's owner can share it; false when the
// folder is missing afterwards.
bool makeSharedFolder(const std::string& path);

// Tests hand in a temporary folder instead; an empty text restores the real one.
void setMachineFolderForTests(const std::string& folder);

}  // namespace kestrel
