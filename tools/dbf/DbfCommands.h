#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kestrel::tools {

// The commands of kestrel-dbf. Each returns the process exit status; storage
// errors are thrown to main, which prints them.
inline constexpr int kExitLockRefused = 3;

int infoCommand(const std::string& path, std::ostream& out);
// With an order field: visits in the order of an index built on that field
// (the index file named after the field, beside the table).
int dumpCommand(const std::string& path, std::ostream& out, const std::string& orderField = {});
// Exit kExitLockRefused when another process has the table open.
int packCommand(const std::string& path, std::ostream& err);
// Appends the source table's records under the target's append lock.
int appendFromCommand(const std::string& target, const std::string& source, std::ostream& err);
int createCommand(const std::string& path, const std::vector<std::string>& definitions,
                  std::ostream& err);
int appendCommand(const std::string& path, std::istream& in, std::ostream& err);
int holdLockCommand(const std::string& path, double seconds, std::ostream& out, std::ostream& err);

}  // namespace kestrel::tools
