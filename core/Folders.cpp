#include "core/Folders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace kestrel {
namespace {

constexpr const char* kMachineFolder = "/var/lib/kestrel/";

std::string& machineFolderOverride() {
  static std::string folder;
  return folder;
}

std::string withSeparator(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder.push_back('/');
  return folder;
}

}  // namespace

std::string programFolderPath() {
  // The executable's own folder, symbolic links resolved, as the window
  // system's application object reports it too.
  std::error_code error;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
  return withSeparator(error ? std::filesystem::current_path().string()
                             : exe.parent_path().string());
}

std::string machineFolderPath() {
  if (!machineFolderOverride().empty()) return machineFolderOverride();
  // Every user of the machine shares the one settings file, so the folder is
  // made world-writable like a shared Windows directory. Failure is left to
  // the writer of the settings file, which reports it.
  makeSharedFolder(kMachineFolder);
  return kMachineFolder;
}

bool makeSharedFolder(const std::string& path) {
  std::error_code error;
  std::filesystem::create_directories(path, error);
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) return false;
  // A folder made by another user (or by an older version with the default
  // mode) stays as it is unless this process owns it.
  if ((status.st_mode & 0777) != 0777 && status.st_uid == ::geteuid()) ::chmod(path.c_str(), 0777);
  return true;
}

void setMachineFolderForTests(const std::string& folder) {
  machineFolderOverride() = folder.empty() ? std::string() : withSeparator(folder);
}

}  // namespace kestrel
