#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace kestrel {

// Code 128 (ISO/IEC 15417), encoding only: text to symbol character values,
// values to modules. Laying the modules out on an image is the painter's job.

// Symbol character values with a meaning of their own.
inline constexpr int kCode128CodeC = 99;   // in code sets A and B
inline constexpr int kCode128CodeB = 100;  // in code sets A and C (FNC4 in B)
inline constexpr int kCode128CodeA = 101;  // in code sets B and C (FNC4 in A)
inline constexpr int kCode128Fnc1 = 102;   // in every code set
inline constexpr int kCode128StartA = 103;
inline constexpr int kCode128StartB = 104;
inline constexpr int kCode128StartC = 105;
inline constexpr int kCode128Stop = 106;

// Every symbol but the stop is 11 modules wide, the stop 13.
inline constexpr int kCode128SymbolModules = 11;
inline constexpr int kCode128StopModules = 13;

// The symbol characters for `text`: start, data, check character, stop.
// A text of digits only, of even length, is Start C and its digit pairs (a
// mailer number: 11 pairs), never leaving code set C and with no FNC1. Other
// texts switch between the code sets: C for runs of four or more digits, A for
// control characters, B for everything else; character 128 is FNC4 followed by
// NUL in code set A. Requires: no character 0 and none above 128 (the text
// filter of the bar-code image removes them). An empty text has no symbol and
// gives an empty result.
//
// `gs1` makes the symbol GS1-128: FNC1 follows the start character, which is
// how a scanner tells an Intelligent Mail package barcode from plain Code 128.
// The text and its code sets are the same either way.
std::vector<int> code128Symbols(std::string_view text, bool gs1 = false);

// The check character: (start value + sum of value x position over the data
// characters, positions from 1) mod 103. `values` starts with the start
// character and holds no check character and stop.
int code128CheckCharacter(const std::vector<int>& values);

// Bar and space widths of one symbol character, bar first: six widths, seven
// for the stop. Requires: 0 <= value <= 106.
std::vector<int> code128Widths(int value);

// The modules of the symbols, quiet zones excluded: 1 = bar, 0 = space.
std::vector<std::uint8_t> code128Modules(const std::vector<int>& symbols);

}  // namespace kestrel
