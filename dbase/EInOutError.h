#pragma once

#include <stdexcept>
#include <string>

namespace kestrel {

// The platform's input/output error ("I/O error 101"), raised where the
// program's own file handling, not the storage layer, fails.
class EInOutError : public std::runtime_error {
 public:
  explicit EInOutError(int errorCode)
      : std::runtime_error("I/O error " + std::to_string(errorCode)), m_errorCode(errorCode) {}
  int errorCode() const { return m_errorCode; }

 private:
  int m_errorCode;
};

}  // namespace kestrel
