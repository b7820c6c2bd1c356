#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

// The one reading of "a text that holds a whole number" used by the mailer
// numbering: any number of leading blanks, an optional "+" or "-", at least
// one decimal digit and nothing after the digits; the value must lie in the
// signed 32-bit range. Hexadecimal forms are not numbers here.
std::optional<std::int32_t> readInt32(std::string_view text);

// readInt32, throwing NumberConversionError for a text that does not read.
std::int32_t strToInt(const std::string& text);

// True when the text reads as a number and, after its leading blanks and an
// optional "+", consists of decimal digits only; `digits` then receives those
// digits exactly as written (leading zeros kept).
bool readDigitText(std::string_view text, std::string& digits);

// Prefixes "0" until the text is at least `width` characters long.
std::string zeroPadded(std::string text, std::size_t width);

}  // namespace kestrel
