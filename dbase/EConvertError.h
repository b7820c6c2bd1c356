#pragma once

#include <stdexcept>
#include <string>

namespace kestrel {

// A text that cannot become the value of a date or numeric field ("'x' is not
// a valid date"). It is the platform's conversion error, not a storage error.
class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace kestrel
