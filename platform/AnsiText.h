#pragma once

#include <QString>
#include <string>

namespace kestrel {

// Conversions at the window edge between Qt's text and the program's 8-bit
// Windows-1252 ("ANSI") text. A character that Windows-1252 lacks becomes
// its closest character of the code page, the letter without the accent the
// code page lacks ("Łódź" is stored as "Lódz"), and "?" only when no letter
// or sign is close. A letter and its combining accents are one character;
// the bytes are never more than the characters of the text.
QString fromAnsi(const std::string& ansi);
std::string toAnsi(const QString& text);

}  // namespace kestrel
