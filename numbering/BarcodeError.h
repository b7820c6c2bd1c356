#pragma once

#include <stdexcept>
#include <string>

namespace kestrel {

// Raised by TBarcodeBmp for a property change whose image cannot be made
// (a text or image beyond the unit's limits); the object keeps its previous
// properties and image.
class BarcodeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace kestrel
