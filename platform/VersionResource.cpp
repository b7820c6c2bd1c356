#include "platform/VersionResource.h"

#include "platform/Version.h"

namespace kestrel {

VersionResource programVersionResource() {
  return {true, std::string(kFileVersion)};
}

}  // namespace kestrel
