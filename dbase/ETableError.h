#pragma once

#include <stdexcept>
#include <string>

namespace kestrel {

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
