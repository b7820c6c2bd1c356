#pragma once

#include <stdexcept>
#include <string>

namespace kestrel::pdf {

// A PDF that cannot be made as asked: a font that cannot be embedded, a file
// that was not written whole.
class PdfError : public std::runtime_error {
 public:
  explicit PdfError(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace kestrel::pdf
