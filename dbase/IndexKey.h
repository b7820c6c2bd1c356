#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "dbase/KeyType.h"

namespace kestrel {

// The key of one index tag: how a record's field becomes key bytes and how
// two keys are ordered. Keys are what the index file stores, byte for byte:
//   C  the field's bytes as stored (full width, trailing blanks kept),
//      ordered as unsigned bytes;
//   D  the Julian day number as a little-endian IEEE 754 double, a blank or
//      unreadable date 1.0E100 so that it sorts after every real date;
//   N  the dBASE IV 12-byte binary-coded-decimal number (dbase/MDX.md),
//      ordered by value.
// Equal keys are ordered by record number (compareEntries).
class IndexKey {
 public:
  static constexpr std::size_t kDateLength = 8;
  static constexpr std::size_t kNumericLength = 12;
  static constexpr double kBlankDate = 1.0e100;

  // Requires: length is the field length for C, 8 for D, 12 for N.
  IndexKey(KeyType type, std::size_t length);

  // The key of a table field of this type letter and length. Throws
  // IndexError 254 for a field type that cannot be indexed and 266 for a key
  // length outside 1-100.
  static IndexKey forField(char fieldType, std::size_t fieldLength);

  KeyType type() const { return m_type; }
  std::size_t length() const { return m_length; }

  // Writes length() key bytes for the field's bytes as stored in the table
  // (C: the text, D: "YYYYMMDD", N/F: right-aligned number text).
  void encode(std::string_view fieldBytes, unsigned char* out) const;

  // Negative, zero or positive as key a sorts before, with or after key b.
  int compare(const unsigned char* a, const unsigned char* b) const;
  int compareEntries(const unsigned char* a, std::uint32_t recA, const unsigned char* b,
                     std::uint32_t recB) const {
    const int c = compare(a, b);
    if (c != 0) return c;
    return recA < recB ? -1 : (recA > recB ? 1 : 0);
  }

  // A number whose order agrees with compare(): a smaller prefix means a
  // smaller key; equal prefixes say nothing, compare() must decide.
  std::uint64_t sortPrefix(const unsigned char* key) const;

  // The encodings, for callers and tests that work on single values.
  static double julianDay(int year, int month, int day);
  static void encodeDate(std::string_view yyyymmdd, unsigned char* out);
  static double decodeDate(const unsigned char* key);
  static void encodeNumeric(std::string_view text, unsigned char* out);
  static int compareNumeric(const unsigned char* a, const unsigned char* b);

 private:
  KeyType m_type;
  std::size_t m_length;
};

}  // namespace kestrel
