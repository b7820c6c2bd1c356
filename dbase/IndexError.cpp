#include "dbase/IndexError.h"

#include <cstring>

namespace kestrel {

namespace {
std::string describe(int code, const std::string& detail, int osError) {
  if (code == 0)
    return "System error " + std::to_string(osError) + " (" + std::strerror(osError) +
           "): " + detail;
  return "Error # " + std::to_string(code) + ": " + detail;
}
}  // namespace

IndexError::IndexError(int code, const std::string& detail, int osError)
    : std::runtime_error(describe(code, detail, osError)),
      m_code(code),
      m_detail(detail),
      m_osError(osError) {}

IndexError IndexError::fromErrno(int error, const std::string& detail) {
  return IndexError(0, detail, error);
}

}  // namespace kestrel
