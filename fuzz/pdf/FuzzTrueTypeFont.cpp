// Any bytes as a font's tables: reading them and cutting a subset out of them
// must either succeed or be a PdfError, never a read past a table; a subset
// that was made reads back, with the advances of the glyphs it keeps.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "pdf/PdfError.h"
#include "pdf/TrueTypeFont.h"

namespace {

// The tables a subset is made of, and the few glyphs asked for, from the
// input: the first bytes choose the glyphs, the rest is cut into the tables
// at the lengths its next bytes give.
constexpr const char* kTags[] = {"head", "hhea", "maxp", "hmtx", "loca", "glyf",
                                 "cvt ", "prep", "OS/2", "post", "name"};

std::map<std::string, std::string> tablesOf(const std::string& bytes,
                                            std::vector<std::uint16_t>& glyphs) {
  std::size_t at = 0;
  const auto take = [&](std::size_t count) {
    const std::string part = bytes.substr(std::min(at, bytes.size()), count);
    at += count;
    return part;
  };
  for (int i = 0; i < 3; ++i) {
    const std::string pair = take(2);
    if (pair.size() == 2)
      glyphs.push_back(static_cast<std::uint16_t>(static_cast<unsigned char>(pair[0]) << 8 |
                                                  static_cast<unsigned char>(pair[1])));
  }
  std::map<std::string, std::string> tables;
  for (const char* tag : kTags) {
    const std::string length = take(2);
    if (length.size() < 2) break;
    tables[tag] = take(static_cast<std::size_t>(static_cast<unsigned char>(length[0]) << 8 |
                                                static_cast<unsigned char>(length[1])));
  }
  return tables;
}

// The tables of a font file, by its directory.
std::map<std::string, std::string> tablesOfFile(const std::string& file) {
  const auto number = [&file](std::size_t at, int bytes) {
    std::size_t value = 0;
    for (int i = 0; i < bytes; ++i)
      value = value << 8 | static_cast<unsigned char>(file.at(at + static_cast<std::size_t>(i)));
    return value;
  };
  std::map<std::string, std::string> tables;
  for (std::size_t i = 0; i < number(4, 2); ++i) {
    const std::size_t entry = 12 + i * 16;
    tables[file.substr(entry, 4)] = file.substr(number(entry + 8, 4), number(entry + 12, 4));
  }
  return tables;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using kestrel::pdf::PdfError;
  using kestrel::pdf::TrueTypeFont;
  std::vector<std::uint16_t> glyphs;
  const std::map<std::string, std::string> tables =
      tablesOf(std::string(reinterpret_cast<const char*>(data), size), glyphs);
  std::string subset;
  std::vector<int> advances;
  try {
    const TrueTypeFont font([&tables](const char* tag) {
      const auto found = tables.find(tag);
      return found == tables.end() ? std::string() : found->second;
    });
    font.postScriptName("Fallback Name");
    for (const std::uint16_t glyph : glyphs)
      advances.push_back(glyph < font.glyphCount() ? font.advance(glyph) : -1);
    subset = font.subset(glyphs);
  } catch (const PdfError&) {
    return 0;  // a damaged font is refused
  }
  // What a subset was made of reads back, with the advances of its glyphs.
  try {
    const std::map<std::string, std::string> kept = tablesOfFile(subset);
    const TrueTypeFont reread([&kept](const char* tag) {
      const auto found = kept.find(tag);
      return found == kept.end() ? std::string() : found->second;
    });
    for (std::size_t i = 0; i < glyphs.size(); ++i)
      if (advances[i] >= 0 && reread.advance(glyphs[i]) != advances[i]) std::abort();
  } catch (const PdfError&) {
    std::abort();
  }
  return 0;
}
