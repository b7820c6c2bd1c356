#include "dbase/WorkAreas.h"

#include <algorithm>
#include <array>

#include "dbase/AsciiText.h"
#include "dbase/DbfLayout.h"

namespace kestrel {
namespace {

struct Area {
  bool used = false;
  std::string alias;  // upper case
};

std::array<Area, dbf::kMaxWorkAreas>& areas() {
  static std::array<Area, dbf::kMaxWorkAreas> all;
  return all;
}

}  // namespace

int WorkAreas::acquire() {
  auto& all = areas();
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (!all[i].used) {
      all[i] = Area{true, std::string()};
      return static_cast<int>(i) + 1;
    }
  }
  return 0;
}

void WorkAreas::release(int area) {
  if (area >= 1 && area <= dbf::kMaxWorkAreas) areas()[static_cast<std::size_t>(area - 1)] = Area{};
}

bool WorkAreas::aliasInUse(const std::string& alias, int exceptArea) {
  const std::string wanted = asciiUpper(alias);
  const auto& all = areas();
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (static_cast<int>(i) + 1 != exceptArea && all[i].used && all[i].alias == wanted) return true;
  }
  return false;
}

void WorkAreas::setAlias(int area, const std::string& alias) {
  if (area >= 1 && area <= dbf::kMaxWorkAreas) {
    areas()[static_cast<std::size_t>(area - 1)].alias = asciiUpper(alias);
  }
}

int WorkAreas::inUse() {
  const auto& all = areas();
  return static_cast<int>(
      std::count_if(all.begin(), all.end(), [](const Area& a) { return a.used; }));
}

}  // namespace kestrel
