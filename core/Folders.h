#pragma once

#include <string>

namespace kestrel {

// The system group whose members print: it owns the shared folders (the
// machine folder and the data folders of the program folder), so that every
// member may add and rewrite the files in them while no other user may.
inline constexpr const char* kSharedGroupName = "kestrel";

// The folder with a path separator at its end, as every folder the program
// keeps (the program folder, the machine folder) is spelled, so that a file
// name is simply appended.
std::string withSeparator(std::string folder);

// The folder of the running executable, always ending in a path separator.
// Every data file of an installation is found from it.
std::string programFolderPath();

// The machine-wide folder that holds the settings file, the stand-in of the
// Windows directory: /var/lib/kestrel/ on Linux, created as a shared folder
// (below) when missing. Always ends in a path separator.
std::string machineFolderPath();

// Makes a shared folder ("Reports", "Printed", "Addresses", the machine
// folder) when missing. A folder this process owns is handed to the group
// kSharedGroupName when that group exists, and gets mode 2775: the group
// may add files, and the set-group-ID bit gives every file made in it the
// same group, whoever prints first. Nobody else may write there. False when
// the folder is missing afterwards.
bool makeSharedFolder(const std::string& path);

// Why the current user may not write the file or folder `path` (a missing
// file: may not add it to its folder): a sentence naming the folder and, for
// a folder shared by a group the user is not in, the group to join. Empty
// when writing is allowed, or when something other than permissions stops it.
std::string writeRefusal(const std::string& path);

// Tests hand in a temporary folder instead; an empty text restores the real one.
void setMachineFolderForTests(const std::string& folder);

}  // namespace kestrel
