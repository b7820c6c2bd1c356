#pragma once

#include <stdexcept>
#include <string>

namespace kestrel {

// The codes the storage layer raises itself (the others come from
// tableErrorCodeFromErrno). Their texts are tableErrorText's.
namespace TableErrorCode {
inline constexpr int kFileNotFound = 2;
inline constexpr int kAccessDenied = 5;
inline constexpr int kSharingViolation = 32;
inline constexpr int kLockViolation = 33;
inline constexpr int kReadError = 100;
inline constexpr int kWriteError = 101;
inline constexpr int kNotDbase = 210;  // a damaged or foreign table file
inline constexpr int kInvalidFieldType = 211;
inline constexpr int kFileInUse = 214;
inline constexpr int kInvalidParameter = 220;
inline constexpr int kCorruptedIndex = 222;
inline constexpr int kExclusiveRequired = 225;
inline constexpr int kInvalidMemoAddress = 1003;
inline constexpr int kDiskFull = 1004;
inline constexpr int kMemoWriteError = 1005;
inline constexpr int kMemoPackDiskSpace = 1012;
inline constexpr int kMemoLockFailed = 1017;
inline constexpr int kMemoUnlockFailed = 1018;
inline constexpr int kNoMemoFile = 1019;
inline constexpr int kInvalidOperation = 1103;
inline constexpr int kRecordNotLocked = 1200;
}  // namespace TableErrorCode

// The storage layer's error. Its message is "Error # " + code + " (" + text +
// ")" + CR LF + detail, where the text belongs to the code (tableErrorText).
class ETableError : public std::runtime_error {
 public:
  ETableError(int code, const std::string& detail);

  int code() const { return m_code; }
  const std::string& detail() const { return m_detail; }

 private:
  int m_code;
  std::string m_detail;
};

// The fixed text of an error code ("Undefined error" for codes without one).
std::string tableErrorText(int code);

// Maps an operating-system errno to the storage layer's code; `writing`
// chooses between the read (100) and write (101) code for I/O failures.
int tableErrorCodeFromErrno(int error, bool writing);

}  // namespace kestrel
