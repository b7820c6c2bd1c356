#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::pdf {

// A TrueType font (outlines in a 'glyf' table) as a PDF embeds it: its
// metrics for the font descriptor, and subsets that keep the glyphs a
// document draws. Built from the font's tables as the font engine hands
// them out; every offset in them is checked, as a font file on the
// machine may be damaged.
class TrueTypeFont {
 public:
  // The bytes of the table with the given four-letter tag, empty when the
  // font has none.
  using TableSource = std::function<std::string(const char* tag)>;

  // Throws PdfError when the font has no TrueType outlines or its tables
  // contradict each other.
  explicit TrueTypeFont(const TableSource& tables);

  // The PostScript name from the 'name' table ("LiberationSans-Bold"), or
  // `fallback` with its blanks taken out when the font names none.
  std::string postScriptName(const std::string& fallback) const;

  int unitsPerEm() const { return m_unitsPerEm; }
  int glyphCount() const { return m_glyphCount; }
  // In font units.
  int ascent() const { return m_ascent; }
  int descent() const { return m_descent; }
  int capHeight() const { return m_capHeight; }
  const std::int16_t* boundingBox() const { return m_boundingBox; }  // xMin, yMin, xMax, yMax
  bool isFixedPitch() const { return m_fixedPitch; }
  // The advance of a glyph in font units (0 for a glyph the font lacks).
  int advance(std::uint16_t glyph) const;

  // A font file holding the given glyphs and glyph 0 (with the parts of
  // composite glyphs), each under its own number, so that a PDF's glyph
  // numbers need no map; glyphs above the highest one kept are left out,
  // and the others are empty. Glyph numbers the font does not have are
  // ignored. Hinting programs are kept.
  std::string subset(const std::vector<std::uint16_t>& glyphs) const;

 private:
  std::string_view glyphData(std::uint16_t glyph) const;

  std::map<std::string, std::string> m_tables;  // the tables a subset keeps
  std::string m_names;                          // the 'name' table
  int m_unitsPerEm = 1000;
  int m_glyphCount = 0;
  int m_metricCount = 0;  // long horizontal metrics in 'hmtx'
  int m_ascent = 0, m_descent = 0, m_capHeight = 0;
  std::int16_t m_boundingBox[4] = {0, 0, 0, 0};
  bool m_fixedPitch = false;
  std::vector<std::uint32_t> m_glyphOffsets;  // glyphCount + 1 offsets into 'glyf'
};

}  // namespace kestrel::pdf
