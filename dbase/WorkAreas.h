#pragma once

#include <string>

namespace kestrel {

// The process's 33 work areas: each open table holds one, with an alias that
// is unique among the open tables (compared without regard to case).
class WorkAreas {
 public:
  // A free area (1-33), or 0 when all are in use.
  static int acquire();
  static void release(int area);
  static bool aliasInUse(const std::string& alias, int exceptArea);
  static void setAlias(int area, const std::string& alias);
  static int inUse();
};

}  // namespace kestrel
