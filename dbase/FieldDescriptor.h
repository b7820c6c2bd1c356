#pragma once

#include <cstddef>
#include <string>

namespace kestrel {

// One field of a table as the storage layer uses it.
struct FieldDescriptor {
  std::string name;  // upper case; up to 10 characters (level 7: up to 31)
  char type = 'C';   // C, D, F, L, M or N (B, G, P are read as M)
  int length = 0;    // bytes in the record
  int decimals = 0;
  std::size_t offset = 0;  // first byte within the record; byte 0 is the deletion flag
};

}  // namespace kestrel
