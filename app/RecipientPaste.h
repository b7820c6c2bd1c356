#pragma once

#include <string>
#include <vector>

namespace kestrel {

// Turning an address copied from another program into recipient fields.
// Text is Windows-1252 throughout.

// Splits clipboard text into lines. A text that does not end in CR or LF gets
// CR LF appended. A line ends at a CR LF or LF CR pair, and also at a CR or
// LF alone: text copied on Linux ends its lines in a bare LF, and old Mac
// text in a bare CR. Two equal breaks in a row ("\n\n") end a line and an
// empty one. Only an empty text yields no line.
std::vector<std::string> splitClipboardLines(const std::string& text);

struct CityLineParts {
  std::string city;
  std::string state;
  std::string zip;
};

// Reads city, state and ZIP Code from the last pasted line.
//
// Trailing blanks are ignored, and a line that ends in a ZIP Code (five
// digits, optionally a hyphen and four more) takes that as the ZIP Code.
// Only other lines fall back to the older rule: the ten characters from five
// before the first hyphen, or else the last five characters. (Read
// literally, that rule takes the hyphen of "Wilkes-Barre" for the ZIP Code's
// and blanks for digits.) The state is the two characters before the ZIP
// Code and its blanks; the city everything before the state and its blanks
// and commas. The scans stop at the first character of the line.
CityLineParts parseCityLine(const std::string& line);

}  // namespace kestrel
