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
  std::error_code error;
  if (!std::filesystem::exists(kMachineFolder, error)) {
    if (std::filesystem::create_directories(kMachineFolder, error)) {
      ::chmod(kMachineFolder, 0777);
    }
  }
  return kMachineFolder;
}

void setMachineFolderForTests(const std::string& folder) {
  machineFolderOverride() = folder.empty() ? std::string() : withSeparator(folder);
}

}  // namespace kestrel
