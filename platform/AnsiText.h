#pragma once

#include <QString>
#include <string>

namespace kestrel {

// Conversions at the window edge between Qt's text and the program's 8-bit
// Windows-1252 ("ANSI") text. A character that Windows-1252 lacks becomes "?".
QString fromAnsi(const std::string& ansi);
std::string toAnsi(const QString& text);

}  // namespace kestrel
