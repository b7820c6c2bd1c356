#include "platform/Folders.h"

#include <sys/stat.h>

#include <QCoreApplication>
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
  if (QCoreApplication::instance() != nullptr) {
    return withSeparator(QCoreApplication::applicationDirPath().toStdString());
  }
  // Command-line tools run without an application object.
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

bool makeSharedFolder(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (!std::filesystem::is_directory(folder, error)) return false;
  // The process's umask narrows the mode of a new folder; chmod does not.
  // Only the owner (or root) may change it, and that is enough: the first
  // maker opens it for everyone else.
  constexpr auto kEveryone = std::filesystem::perms::all;
  if ((std::filesystem::status(folder, error).permissions() & kEveryone) != kEveryone)
    ::chmod(folder.c_str(), 0777);
  return true;
}

void setMachineFolderForTests(const std::string& folder) {
  machineFolderOverride() = folder.empty() ? std::string() : withSeparator(folder);
}

}  // namespace kestrel
