#pragma once

#include <stdexcept>

namespace kestrel {

// A report that cannot be produced: a layout file that is missing or
// malformed (the message names the file and the line), a layout that asks
// for a field the data lacks, or output that could not be written whole.
class ReportError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace kestrel
