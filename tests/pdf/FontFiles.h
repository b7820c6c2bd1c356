#pragma once

#include <map>
#include <string>
#include <vector>

#include "pdf/TrueTypeFont.h"

namespace kestrel::test {

inline constexpr const char* kLiberationSans =
    "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf";
inline constexpr const char* kOcrA = "/usr/share/fonts/truetype/ocr-a/OCRA.ttf";
inline constexpr const char* kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// The tables of a font file by tag, read with the file's own directory.
std::map<std::string, std::string> fontTables(const std::string& path);
pdf::TrueTypeFont::TableSource tableSource(std::map<std::string, std::string> tables);

// A glyph of a font and its advance in font units, as the oracle reads them.
struct OracleGlyph {
  int glyph = 0;
  int advance = 0;
};
// Each character's glyph in the font file, read by python3-fonttools.
std::vector<OracleGlyph> oracleGlyphs(const std::string& fontPath, const std::string& utf8);

}  // namespace kestrel::test
