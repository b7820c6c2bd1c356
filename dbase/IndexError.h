#pragma once

#include <stdexcept>
#include <string>

namespace kestrel {

// The index code's own error. It carries the storage layer's error code and
// detail so that the table component can raise it again as its ETableError;
// an operating-system failure has code 0 and the errno in osError().
class IndexError : public std::runtime_error {
 public:
  IndexError(int code, const std::string& detail, int osError = 0);

  int code() const { return m_code; }
  const std::string& detail() const { return m_detail; }
  int osError() const { return m_osError; }

  // Codes the index raises (texts belong to the storage layer's error table).
  static constexpr int kCorruptedIndex = 222;
  static constexpr int kNoDiskSpace = 227;
  static constexpr int kWrongKeyType = 254;
  static constexpr int kBadKeyLength = 266;
  static constexpr int kExpressionTooLong = 300;
  static constexpr int kSemaphoreError = 1202;

  // An operating-system failure: errno with the file and the operation.
  static IndexError fromErrno(int error, const std::string& detail);

 private:
  int m_code;
  std::string m_detail;
  int m_osError;
};

}  // namespace kestrel
