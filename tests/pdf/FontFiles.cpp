#include "FontFiles.h"

#include <gtest/gtest.h>

#include <sstream>

#include "DbaseTestSupport.h"
#include "TestPaths.h"

namespace kestrel::test {

namespace {
std::uint32_t bigEndian(const std::string& bytes, std::size_t at, int size) {
  std::uint32_t value = 0;
  for (int i = 0; i < size; ++i)
    value = value << 8 | static_cast<unsigned char>(bytes.at(at + static_cast<std::size_t>(i)));
  return value;
}
}  // namespace

std::map<std::string, std::string> fontTables(const std::string& path) {
  const std::string file = readBytes(path);
  std::map<std::string, std::string> tables;
  const std::uint32_t count = bigEndian(file, 4, 2);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t entry = 12 + i * 16;
    tables[file.substr(entry, 4)] =
        file.substr(bigEndian(file, entry + 8, 4), bigEndian(file, entry + 12, 4));
  }
  return tables;
}

pdf::TrueTypeFont::TableSource tableSource(std::map<std::string, std::string> tables) {
  return [tables = std::move(tables)](const char* tag) {
    const auto found = tables.find(tag);
    return found == tables.end() ? std::string() : found->second;
  };
}

std::vector<OracleGlyph> oracleGlyphs(const std::string& fontPath, const std::string& utf8) {
  const auto [status, output] =
      runCommand(std::string(kSystemPython) + " " KESTREL_PDF_TEST_DIR "/font_oracle.py glyphs " +
                 shellQuote(fontPath) + " " + shellQuote(utf8));
  EXPECT_EQ(status, 0) << output;
  std::vector<OracleGlyph> glyphs;
  std::istringstream lines(output);
  for (OracleGlyph glyph; lines >> glyph.glyph >> glyph.advance;) glyphs.push_back(glyph);
  return glyphs;
}

}  // namespace kestrel::test
