#pragma once

#include <string>

namespace kestrel {

// Conversion between the program's Windows-1252 ("ANSI") text and the OEM
// code page 437 that tables store. Characters the other page lacks take a
// best-fit look-alike (box drawing becomes + - |, accented capitals their
// base letter) or "?", as the platform's own conversion does; bytes below
// 0x80 are kept.
char ansiToOem(char c);
char oemToAnsi(char c);
void ansiToOemInPlace(std::string& text);
void oemToAnsiInPlace(std::string& text);
// The same over a range of bytes: one call per record rather than per byte.
void ansiToOemInPlace(char* first, char* last);
void oemToAnsiInPlace(char* first, char* last);

}  // namespace kestrel

namespace kestrel {

// Memo streams are converted only when their text looks like text: no byte
// below 0x20 except tab, line feed, carriage return, 0x0F, 0x14 and 0x15.
bool looksLikeText(const std::string& bytes);

}  // namespace kestrel
