#include "pdf/TrueTypeFont.h"

#include <algorithm>
#include <set>

#include "pdf/PdfError.h"

namespace kestrel::pdf {

namespace {

// The tables a subset carries: outlines, metrics and the hinting programs
// that a printer's rasterizer may run. The character map is left out, as a
// PDF reaches the glyphs by number.
constexpr const char* kKeptTables[] = {"cvt ", "fpgm", "glyf", "head", "hhea",
                                       "hmtx", "loca", "maxp", "prep"};

std::uint32_t read16(std::string_view bytes, std::size_t at) {
  if (at + 2 > bytes.size()) throw PdfError("The font's tables end too early.");
  return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at]) << 8 |
                                    static_cast<unsigned char>(bytes[at + 1]));
}

std::uint32_t read32(std::string_view bytes, std::size_t at) {
  return read16(bytes, at) << 16 | read16(bytes, at + 2);
}

std::int16_t readSigned16(std::string_view bytes, std::size_t at) {
  return static_cast<std::int16_t>(read16(bytes, at));
}

void put16(std::string& bytes, std::size_t at, std::uint32_t value) {
  bytes[at] = static_cast<char>(value >> 8 & 0xFF);
  bytes[at + 1] = static_cast<char>(value & 0xFF);
}

void put32(std::string& bytes, std::size_t at, std::uint32_t value) {
  put16(bytes, at, value >> 16);
  put16(bytes, at + 2, value & 0xFFFF);
}

void append16(std::string& bytes, std::uint32_t value) {
  bytes.push_back(static_cast<char>(value >> 8 & 0xFF));
  bytes.push_back(static_cast<char>(value & 0xFF));
}

void append32(std::string& bytes, std::uint32_t value) {
  append16(bytes, value >> 16);
  append16(bytes, value & 0xFFFF);
}

void padToFour(std::string& bytes) {
  while (bytes.size() % 4 != 0) bytes.push_back('\0');
}

// The sum of a table's 32-bit words, the last one padded with zeros.
std::uint32_t checksum(std::string_view bytes) {
  std::uint32_t sum = 0;
  for (std::size_t at = 0; at < bytes.size(); at += 4) {
    std::uint32_t word = 0;
    for (std::size_t i = 0; i < 4; ++i)
      word = word << 8 | (at + i < bytes.size() ? static_cast<unsigned char>(bytes[at + i]) : 0u);
    sum += word;
  }
  return sum;
}

// The glyphs a composite glyph is put together from.
std::vector<std::uint16_t> componentsOf(std::string_view glyph) {
  std::vector<std::uint16_t> parts;
  if (glyph.size() < 10 || readSigned16(glyph, 0) >= 0) return parts;
  constexpr std::uint32_t kArgsAreWords = 0x0001, kHasScale = 0x0008, kMoreComponents = 0x0020,
                          kHasXYScale = 0x0040, kHasTwoByTwo = 0x0080;
  std::size_t at = 10;
  for (;;) {
    const std::uint32_t flags = read16(glyph, at);
    parts.push_back(static_cast<std::uint16_t>(read16(glyph, at + 2)));
    at += 4 + ((flags & kArgsAreWords) ? 4 : 2);
    if (flags & kHasScale)
      at += 2;
    else if (flags & kHasXYScale)
      at += 4;
    else if (flags & kHasTwoByTwo)
      at += 8;
    if (!(flags & kMoreComponents)) return parts;
  }
}

}  // namespace

TrueTypeFont::TrueTypeFont(const TableSource& tables) {
  for (const char* tag : kKeptTables) {
    std::string bytes = tables(tag);
    if (!bytes.empty()) m_tables.emplace(tag, std::move(bytes));
  }
  for (const char* tag : {"head", "hhea", "maxp", "hmtx", "loca", "glyf"})
    if (!m_tables.count(tag))
      throw PdfError(std::string("The font has no '") + tag + "' table (no TrueType outlines).");
  m_names = tables("name");

  const std::string_view head = m_tables["head"];
  if (head.size() < 54) throw PdfError("The font's 'head' table is too short.");
  m_unitsPerEm = static_cast<int>(read16(head, 18));
  if (m_unitsPerEm < 16) throw PdfError("The font's units per em are out of range.");
  for (int i = 0; i < 4; ++i) m_boundingBox[i] = readSigned16(head, 36 + 2 * i);
  const bool longOffsets = read16(head, 50) == 1;

  const std::string_view hhea = m_tables["hhea"];
  if (hhea.size() < 36) throw PdfError("The font's 'hhea' table is too short.");
  m_ascent = readSigned16(hhea, 4);
  m_descent = readSigned16(hhea, 6);
  m_metricCount = static_cast<int>(read16(hhea, 34));
  m_glyphCount = static_cast<int>(read16(m_tables["maxp"], 4));
  if (m_metricCount < 1 || m_metricCount > m_glyphCount ||
      m_tables["hmtx"].size() < static_cast<std::size_t>(m_metricCount) * 4 +
                                    static_cast<std::size_t>(m_glyphCount - m_metricCount) * 2)
    throw PdfError("The font's horizontal metrics do not cover its glyphs.");

  const std::string_view loca = m_tables["loca"];
  const std::size_t glyfSize = m_tables["glyf"].size();
  m_glyphOffsets.resize(static_cast<std::size_t>(m_glyphCount) + 1);
  for (std::size_t glyph = 0; glyph < m_glyphOffsets.size(); ++glyph) {
    const std::uint32_t offset =
        longOffsets ? read32(loca, glyph * 4) : read16(loca, glyph * 2) * 2;
    if (offset > glyfSize || (glyph > 0 && offset < m_glyphOffsets[glyph - 1]))
      throw PdfError("The font's glyph locations lie outside its outlines.");
    m_glyphOffsets[glyph] = offset;
  }

  m_capHeight = m_ascent;
  const std::string os2 = tables("OS/2");
  if (os2.size() >= 90 && read16(os2, 0) >= 2) m_capHeight = readSigned16(os2, 88);
  const std::string post = tables("post");
  m_fixedPitch = post.size() >= 16 && read32(post, 12) != 0;
}

std::string TrueTypeFont::postScriptName(const std::string& fallback) const {
  const std::string_view names = m_names;
  try {
    const std::uint32_t count = read16(names, 2);
    const std::uint32_t strings = read16(names, 4);
    for (std::uint32_t record = 0; record < count; ++record) {
      const std::size_t at = 6 + record * 12;
      const std::uint32_t platform = read16(names, at);
      const std::uint32_t nameId = read16(names, at + 6);
      const std::uint32_t length = read16(names, at + 8);
      const std::size_t start = strings + read16(names, at + 10);
      if (nameId != 6 || start + length > names.size()) continue;
      std::string name;
      // Windows names are UTF-16; a PostScript name is printable ASCII.
      const std::size_t step = platform == 3 || platform == 0 ? 2 : 1;
      for (std::size_t i = step - 1; i < length; i += step) name.push_back(names[start + i]);
      const bool printable = !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return c > ' ' && c < 0x7F && c != '/' && c != '(' && c != ')' && c != '[' && c != ']' &&
               c != '<' && c != '>' && c != '{' && c != '}' && c != '%';
      });
      if (printable) return name;
    }
  } catch (const PdfError&) {
    // A damaged name table names nothing.
  }
  std::string name;
  for (const char c : fallback)
    if (c > ' ' && c < 0x7F) name.push_back(c);
  return name.empty() ? std::string("Font") : name;
}

int TrueTypeFont::advance(std::uint16_t glyph) const {
  if (glyph >= m_glyphCount) return 0;
  const std::size_t metric =
      std::min<std::size_t>(glyph, static_cast<std::size_t>(m_metricCount) - 1);
  return static_cast<int>(read16(m_tables.at("hmtx"), metric * 4));
}

std::string_view TrueTypeFont::glyphData(std::uint16_t glyph) const {
  const std::string_view glyf = m_tables.at("glyf");
  return glyf.substr(m_glyphOffsets[glyph], m_glyphOffsets[glyph + 1u] - m_glyphOffsets[glyph]);
}

std::string TrueTypeFont::subset(const std::vector<std::uint16_t>& glyphs) const {
  std::set<std::uint16_t> kept{0};
  std::vector<std::uint16_t> pending(glyphs.begin(), glyphs.end());
  while (!pending.empty()) {
    const std::uint16_t glyph = pending.back();
    pending.pop_back();
    if (glyph >= m_glyphCount || (glyph != 0 && !kept.insert(glyph).second)) continue;
    for (const std::uint16_t part : componentsOf(glyphData(glyph)))
      if (!kept.count(part)) pending.push_back(part);
  }
  const std::size_t count = static_cast<std::size_t>(*kept.rbegin()) + 1;

  std::map<std::string, std::string> tables;
  std::string& glyf = tables["glyf"];
  std::string& loca = tables["loca"];
  for (std::size_t glyph = 0; glyph < count; ++glyph) {
    append32(loca, static_cast<std::uint32_t>(glyf.size()));
    if (kept.count(static_cast<std::uint16_t>(glyph))) {
      glyf += glyphData(static_cast<std::uint16_t>(glyph));
      padToFour(glyf);
    }
  }
  append32(loca, static_cast<std::uint32_t>(glyf.size()));
  // Glyphs that are all blank leave no outline bytes; the table still has
  // some, as a reader that takes an empty table for none would refuse it.
  if (glyf.empty()) glyf.assign(4, '\0');

  // The metrics of the glyphs kept: the long metrics up to the last one,
  // then the left side bearings of the glyphs that share the last advance.
  const std::string_view hmtx = m_tables.at("hmtx");
  const std::size_t longMetrics = std::min(count, static_cast<std::size_t>(m_metricCount));
  tables["hmtx"] = std::string(hmtx.substr(0, longMetrics * 4));
  if (count > longMetrics)
    tables["hmtx"] += hmtx.substr(longMetrics * 4, (count - longMetrics) * 2);
  tables["hhea"] = m_tables.at("hhea");
  put16(tables["hhea"], 34, static_cast<std::uint32_t>(longMetrics));
  tables["maxp"] = m_tables.at("maxp");
  put16(tables["maxp"], 4, static_cast<std::uint32_t>(count));
  tables["head"] = m_tables.at("head");
  put32(tables["head"], 8, 0);   // checkSumAdjustment, set below
  put16(tables["head"], 50, 1);  // long glyph locations
  for (const char* tag : {"cvt ", "fpgm", "prep"})
    if (const auto found = m_tables.find(tag); found != m_tables.end()) tables[tag] = found->second;

  // The table directory, sorted by tag as the format asks.
  const std::uint32_t tableCount = static_cast<std::uint32_t>(tables.size());
  std::uint32_t power = 1, log2 = 0;
  while (power * 2 <= tableCount) power *= 2, ++log2;
  std::string font;
  append32(font, 0x00010000);
  append16(font, tableCount);
  append16(font, power * 16);
  append16(font, log2);
  append16(font, tableCount * 16 - power * 16);
  std::size_t offset = 12 + tables.size() * 16;
  std::size_t headOffset = 0;
  for (const auto& [tag, bytes] : tables) {
    font += tag;
    append32(font, checksum(bytes));
    append32(font, static_cast<std::uint32_t>(offset));
    append32(font, static_cast<std::uint32_t>(bytes.size()));
    if (tag == "head") headOffset = offset;
    offset += (bytes.size() + 3) / 4 * 4;
  }
  for (const auto& [tag, bytes] : tables) {
    font += bytes;
    padToFour(font);
  }
  put32(font, headOffset + 8, 0xB1B0AFBAu - checksum(font));
  return font;
}

}  // namespace kestrel::pdf
