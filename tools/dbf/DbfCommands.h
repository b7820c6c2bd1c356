#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kestrel::tools {

// The commands of kestrel-dbf. Each returns the process exit status; storage
// errors are thrown to main, which prints them.
inline constexpr int kExitLockRefused = 3;

int infoCommand(const std::string& path, std::ostream& out);
int dumpCommand(const std::string& path, std::ostream& out);
int createCommand(const std::string& path, const std::vector<std::string>& definitions,
                  std::ostream& err);
int appendCommand(const std::string& path, std::istream& in, std::ostream& err);
int holdLockCommand(const std::string& path, double seconds, std::ostream& out, std::ostream& err);

}  // namespace kestrel::tools
