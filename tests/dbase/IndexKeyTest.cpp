#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <vector>

#include "dbase/IndexError.h"
#include "dbase/IndexKey.h"

namespace kestrel {
namespace {

std::string hex(const unsigned char* p, std::size_t n) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (std::size_t i = 0; i < n; ++i) {
    if (i) out += ' ';
    out += digits[p[i] >> 4];
    out += digits[p[i] & 15];
  }
  return out;
}

std::string numericHex(const std::string& text) {
  std::array<unsigned char, 12> key{};
  IndexKey::encodeNumeric(text, key.data());
  return hex(key.data(), 4);
}

double dateOf(const std::string& text) {
  std::array<unsigned char, 8> key{};
  IndexKey::encodeDate(text, key.data());
  return IndexKey::decodeDate(key.data());
}

TEST(IndexKey, DateKeysAreJulianDayNumbers) {
  // Source: the Julian day of 1 January 2000 is 2451545 (astronomical
  // almanac); 1999-12-30 two days earlier; 0001-01-01 proleptic Gregorian.
  EXPECT_EQ(dateOf("20000101"), 2451545.0);
  EXPECT_EQ(dateOf("19991230"), 2451543.0);
  EXPECT_EQ(dateOf("00010101"), 1721426.0);
  EXPECT_EQ(dateOf("20000229"), 2451604.0);
  // Blank and unreadable dates sort after every real date.
  for (const char* blank : {"        ", "", "2000013", "20000230", "19001301", "2000AB01"})
    EXPECT_EQ(dateOf(blank), IndexKey::kBlankDate) << '"' << blank << '"';
  // Stored as a little-endian IEEE double: 2451545.0 is 0x4142B42C80000000 (Python struct.pack).
  std::array<unsigned char, 8> key{};
  IndexKey::encodeDate("20000101", key.data());
  EXPECT_EQ(hex(key.data(), 8), "00 00 00 80 2C B4 42 41");
}

TEST(IndexKey, NumericKeysFollowTheDbaseBcdLayout) {
  // Expected bytes: examples published with xbase64's BCD key notes.
  EXPECT_EQ(numericHex("0"), "34 01 00 00");
  EXPECT_EQ(numericHex("   -12.25"), "36 91 12 25");
  EXPECT_EQ(numericHex("24.5"), "36 0D 24 50");
  EXPECT_EQ(numericHex("980"), "37 0D 98 00");
  EXPECT_EQ(numericHex("0.05"), "33 09 50 00");
  // Blank, minus zero and padded zeros are all the key of zero.
  EXPECT_EQ(numericHex("          "), "34 01 00 00");
  EXPECT_EQ(numericHex("  -0.00"), "34 01 00 00");
  EXPECT_EQ(numericHex("0024.50"), "36 0D 24 50");
  // Twenty digits at most are kept.
  std::array<unsigned char, 12> key{};
  IndexKey::encodeNumeric("123456789012345678901234", key.data());
  EXPECT_EQ(hex(key.data() + 2, 10), "12 34 56 78 90 12 34 56 78 90");
}

TEST(IndexKey, NumericOrderIsTheOrderOfTheValues) {
  const std::vector<std::string> texts = {"0",     "0.05",     "-0.05",      "0.5",     "-0.5",
                                          "1",     "-1",       "980",        "98",      "9.8",
                                          "-4350", "-4350.23", "4350",       "4350.23", "-12.25",
                                          "24.5",  "100000",   "-99999.99",  "0.001",   "-0.001",
                                          "10",    "  ",       "12345678.9", "-0.0501", "0.0499"};
  IndexKey key(KeyType::Numeric, 12);
  std::vector<std::pair<double, std::array<unsigned char, 12>>> values;
  for (const auto& t : texts) {
    std::array<unsigned char, 12> k{};
    key.encode(t, k.data());
    values.emplace_back(std::atof(t.c_str()), k);
  }
  for (const auto& [x, kx] : values)
    for (const auto& [y, ky] : values) {
      const int expected = x < y ? -1 : (x > y ? 1 : 0);
      EXPECT_EQ(key.compare(kx.data(), ky.data()), expected) << x << " vs " << y;
      // The sort's shortcut never contradicts the full comparison.
      if (key.sortPrefix(kx.data()) < key.sortPrefix(ky.data())) {
        EXPECT_EQ(expected, -1) << x << " vs " << y;
      }
    }
}

TEST(IndexKey, CharacterAndDateOrder) {
  IndexKey text(KeyType::Character, 4);
  std::array<unsigned char, 4> a{}, b{};
  // Unsigned bytes: blank < digit < upper < lower < bytes above 127.
  const std::vector<std::string> ordered = {"    ", "0   ",    "A   ",   "AB  ",
                                            "a   ", "\x80   ", "\xE9   "};
  for (std::size_t i = 0; i + 1 < ordered.size(); ++i) {
    text.encode(ordered[i], a.data());
    text.encode(ordered[i + 1], b.data());
    EXPECT_LT(text.compare(a.data(), b.data()), 0) << i;
    EXPECT_LE(text.sortPrefix(a.data()), text.sortPrefix(b.data())) << i;
  }
  // Short text is padded with blanks, long text cut to the key length.
  text.encode("AB", a.data());
  text.encode("AB  xyz", b.data());
  EXPECT_EQ(text.compare(a.data(), b.data()), 0);
  // Equal keys fall back on the record number.
  EXPECT_LT(text.compareEntries(a.data(), 3, b.data(), 7), 0);
  EXPECT_GT(text.compareEntries(a.data(), 7, b.data(), 3), 0);

  IndexKey date(KeyType::Date, 8);
  std::array<unsigned char, 8> d1{}, d2{}, blank{};
  date.encode("19991231", d1.data());
  date.encode("20000101", d2.data());
  date.encode("        ", blank.data());
  EXPECT_LT(date.compare(d1.data(), d2.data()), 0);
  EXPECT_LT(date.compare(d2.data(), blank.data()), 0);
  EXPECT_LT(date.sortPrefix(d1.data()), date.sortPrefix(d2.data()));
  EXPECT_LT(date.sortPrefix(d2.data()), date.sortPrefix(blank.data()));
}

TEST(IndexKey, FieldTypesAndKeyLengths) {
  EXPECT_EQ(IndexKey::forField('C', 30).length(), 30u);
  EXPECT_EQ(IndexKey::forField('D', 8).type(), KeyType::Date);
  EXPECT_EQ(IndexKey::forField('F', 20).length(), 12u);
  EXPECT_EQ(IndexKey::forField('N', 5).type(), KeyType::Numeric);
  for (char type : {'L', 'M', 'X'}) {
    try {
      IndexKey::forField(type, 10);
      ADD_FAILURE() << type;
    } catch (const IndexError& e) {
      EXPECT_EQ(e.code(), 254);
      EXPECT_EQ(e.detail(), "Wrong parser return type [AddIndexTag()]");
    }
  }
  for (std::size_t length : {0u, 101u, 254u}) {
    try {
      IndexKey::forField('C', length);
      ADD_FAILURE() << length;
    } catch (const IndexError& e) {
      EXPECT_EQ(e.code(), 266);
      EXPECT_EQ(e.detail(), "Incorrect key length: Must be 1 to 100. [AddIndexTag()]");
    }
  }
  EXPECT_EQ(IndexKey::forField('C', 100).length(), 100u);
}

}  // namespace
}  // namespace kestrel
