#pragma once

#include <optional>

namespace kestrel {

// The type of an index key, stored in the index file as its letter.
enum class KeyType : char { Character = 'C', Date = 'D', Numeric = 'N' };

// The key type of the letter an index file stores; none for another letter.
inline std::optional<KeyType> keyTypeFromLetter(char letter) {
  switch (letter) {
    case 'C':
      return KeyType::Character;
    case 'D':
      return KeyType::Date;
    case 'N':
      return KeyType::Numeric;
    default:
      return std::nullopt;
  }
}

// The key type a table field of the given type letter is indexed as: a float
// field (F) as a number, like N; logical and memo fields have none.
inline std::optional<KeyType> keyTypeForField(char fieldType) {
  return keyTypeFromLetter(fieldType == 'F' ? 'N' : fieldType);
}

}  // namespace kestrel
