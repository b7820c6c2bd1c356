#pragma once

#include <stdexcept>
#include <string>

namespace kestrel {

// Raised when a text that must hold a whole number does not. The message has
// the wording of the platform's conversion error, "'abc' is not a valid
// integer value", because the general error display shows it to the user.
class NumberConversionError : public std::runtime_error {
 public:
  explicit NumberConversionError(const std::string& text);

  // The text that failed to read, unchanged.
  const std::string& text() const { return m_text; }

 private:
  std::string m_text;
};

}  // namespace kestrel
