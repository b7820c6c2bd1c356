#include "core/Folders.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

#include "dbase/FilePath.h"
#include "dbase/MessagePath.h"

namespace kestrel {
namespace {

constexpr const char* kMachineFolder = "/var/lib/kestrel/";
// rwxrwsr-x: the group adds and rewrites files, the others only read.
constexpr mode_t kSharedFolderMode = S_ISGID | 0775;

std::string& machineFolderOverride() {
  static std::string folder;
  return folder;
}

std::string userName() {
  const passwd* user = ::getpwuid(::geteuid());
  return user ? user->pw_name : "NAME";
}

bool processHasGroup(gid_t group) {
  if (::getegid() == group) return true;
  const int count = ::getgroups(0, nullptr);
  if (count <= 0) return false;
  std::vector<gid_t> groups(static_cast<std::size_t>(count));
  const int got = ::getgroups(count, groups.data());
  return got > 0 && std::find(groups.begin(), groups.begin() + got, group) != groups.begin() + got;
}

bool groupListsUser(const group& shared, const std::string& user) {
  for (char** member = shared.gr_mem; member && *member; ++member)
    if (user == *member) return true;
  return false;
}

// The second sentence of a refusal: which group shares the thing and what
// the user does about it.
std::string groupAdvice(const struct stat& status) {
  if ((status.st_mode & S_IWGRP) == 0) return {};
  const group* shared = ::getgrgid(status.st_gid);
  if (!shared) return {};
  const std::string name = shared->gr_name;
  const std::string user = userName();
  // Added to the group after logging in: the running session does not have
  // the group yet.
  if (!processHasGroup(status.st_gid) && groupListsUser(*shared, user))
    return " It is shared by the group \"" + name +
           "\", which you joined after you logged in: log out and in again.";
  return " It is shared by the group \"" + name +
         "\" of the users who print with Kestrel, and you are not in it: ask your "
         "administrator to add you (adduser " +
         user + " " + name + "), then log out and in again.";
}

}  // namespace

std::string withSeparator(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder.push_back('/');
  return folder;
}

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
  // Every user of the machine shares the one settings file. Failure is left
  // to the writer of the settings file, which reports it.
  makeSharedFolder(kMachineFolder);
  return kMachineFolder;
}

bool makeSharedFolder(const std::string& path) {
  std::error_code error;
  std::filesystem::create_directories(path, error);
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) return false;
  // A folder made by another user (the package's administrator, or a member
  // of the group before us) stays as it is.
  if (status.st_uid != ::geteuid()) return true;
  const group* shared = ::getgrnam(kSharedGroupName);
  if (shared && status.st_gid != shared->gr_gid &&
      ::chown(path.c_str(), static_cast<uid_t>(-1), shared->gr_gid) != 0) {
    // Refused to a user outside the group: the folder stays in the user's
    // own group and is shared with nobody else.
  }
  // Also takes the world's write permission from a folder an older version
  // shared with every user. Set after the change of group, which may clear
  // the set-group-ID bit.
  ::chmod(path.c_str(), kSharedFolderMode);
  return true;
}

std::string writeRefusal(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) == 0) {
    const bool folder = S_ISDIR(status.st_mode);
    if (::access(path.c_str(), folder ? W_OK | X_OK : W_OK) == 0 || errno != EACCES) return {};
    return (folder ? "You may not add files to the folder \""
                   : "You may not write to the file \"") +
           messagePath(path) + "\"." + groupAdvice(status);
  }
  if (errno != ENOENT) return {};
  const std::string folder = folderOf(path);
  if (::stat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) return {};
  if (::access(folder.c_str(), W_OK | X_OK) == 0 || errno != EACCES) return {};
  return "You may not add files to the folder \"" + messagePath(folder) + "\"." +
         groupAdvice(status);
}

void setMachineFolderForTests(const std::string& folder) {
  machineFolderOverride() = folder.empty() ? std::string() : withSeparator(folder);
}

}  // namespace kestrel
