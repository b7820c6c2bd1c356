#include "print/ShapedTexts.h"

#include <QGlyphRun>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

#include "platform/AnsiText.h"

namespace kestrel {

namespace {

// Fonts kept: a report page uses three.
constexpr std::size_t kMaxFonts = 16;

// Whether drawText and a one-line layout could differ on the text: a line
// layout shows a soft hyphen at the line's end and places tabs on its own
// stops; control characters are left to drawText too.
bool drawnWhole(const QString& text) {
  return std::any_of(text.begin(), text.end(), [](QChar c) {
    return c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() < 0xA0) || c.unicode() == 0xAD;
  });
}

void shapeLine(const QString& text, const QFont& font, ShapedTexts::Text& into) {
  QTextLayout layout(text, font);
  QTextOption option;
  option.setFlags(QTextOption::IncludeTrailingSpaces);
  layout.setTextOption(option);
  layout.setCacheEnabled(true);  // or the glyph runs would shape the text again
  layout.beginLayout();
  const QTextLine line = layout.createLine();
  layout.endLayout();
  if (!line.isValid()) return;
  into.width = line.horizontalAdvance();
  // The runs lie on the line's baseline; they are kept from its start.
  const qreal baseline = line.ascent();
  const QList<QGlyphRun> runs = line.glyphRuns();
  const QList<uint> characters = text.toUcs4();
  for (const QGlyphRun& run : runs) {
    ShapedTexts::Glyphs& glyphs = into.glyphs.emplace_back();
    glyphs.font = run.rawFont();
    const QList<quint32> indexes = run.glyphIndexes();
    const QList<QPointF> positions = run.positions();
    glyphs.indexes.assign(indexes.begin(), indexes.end());
    glyphs.positions.reserve(static_cast<std::size_t>(positions.size()));
    for (const QPointF& p : positions) glyphs.positions.emplace_back(p.x(), p.y() - baseline);
    glyphs.characters.assign(glyphs.indexes.size(), 0);
    // A glyph a character, in order, where the shaper made one of each;
    // else each character's own glyph in the font, where the run has it.
    if (runs.size() == 1 && indexes.size() == characters.size()) {
      for (qsizetype i = 0; i < characters.size(); ++i)
        glyphs.characters[static_cast<std::size_t>(i)] = characters[i];
      continue;
    }
    const QList<quint32> own = glyphs.font.glyphIndexesForString(text);
    for (qsizetype c = 0; c < own.size() && c < text.size(); ++c) {
      if (own[c] == 0 || text[c].isSurrogate()) continue;
      for (std::size_t g = 0; g < glyphs.indexes.size(); ++g)
        if (glyphs.indexes[g] == own[c] && glyphs.characters[g] == 0)
          glyphs.characters[g] = text[c].unicode();
    }
  }
}

}  // namespace

ShapedTexts::FontTexts& ShapedTexts::forFont(const QFont& font) {
  if (m_last && m_last->font == font) return *m_last;
  for (const std::unique_ptr<FontTexts>& kept : m_fonts)
    if (kept->font == font) return *(m_last = kept.get());
  if (m_fonts.size() >= kMaxFonts) m_fonts.clear();
  m_fonts.push_back(std::make_unique<FontTexts>(font));
  return *(m_last = m_fonts.back().get());
}

const ShapedTexts::Text& ShapedTexts::shaped(const QFont& font, const std::string& text) {
  FontTexts& kept = forFont(font);
  const auto found = kept.texts.find(text);
  if (found != kept.texts.end()) return found->second;
  if (kept.texts.size() >= m_maxTextsPerFont) kept.texts.clear();
  Text& shaped = kept.texts[text];
  if (text.empty()) return shaped;

  const QString unicode = fromAnsi(text);
  if (drawnWhole(unicode)) {
    shaped.drawnWhole = unicode;
    shaped.font = kept.font;
    shaped.width = kept.metrics.horizontalAdvance(unicode);
    return shaped;
  }
  if (!kept.pairs.shape(unicode, shaped)) shapeLine(unicode, kept.font, shaped);
  return shaped;
}

const ShapedTexts::Text& ShapedTexts::shaped(const QFont& font, const QString& text) {
  const std::string ansi = toAnsi(text);
  if (fromAnsi(ansi) == text) return shaped(font, ansi);
  m_unkept = shapedLine(font, text);
  return m_unkept;
}

ShapedTexts::Text ShapedTexts::shapedLine(const QFont& font, const QString& text) {
  Text line;
  shapeLine(text, font, line);
  return line;
}

ShapedTexts::AsciiPairs::AsciiPairs(const QFont& font)
    : m_font(font),
      m_singles(kCount),
      m_pairs(kCount * kCount, Pair::Unknown),
      m_kerning(kCount * kCount, 0) {
  // Sample lines with every character and many of its neighbours: a font
  // whose shaper looks past a pair (contextual forms, a kerning that
  // moves the second glyph too) places them otherwise.
  QString all, reversed;
  for (int c = kFirst; c < kFirst + kCount; ++c) all += QChar(c);
  for (int c = kFirst + kCount - 1; c >= kFirst; --c) reversed += QChar(c);
  for (const QString& sample :
       {all, reversed, QStringLiteral("AVAWAY To Ty 11.11 Wa Yo LT 1/1 7.4 ff fi fl ffl Th"),
        QStringLiteral("9214 7123 4567 8900 0004 25 Recipient 12345 62701-1234 12/08/2026")}) {
    Text fast, line;
    if (!shape(sample, fast)) continue;
    shapeLine(sample, m_font, line);
    if (line.glyphs.size() != 1 || fast.width != line.width ||
        fast.glyphs[0].indexes != line.glyphs[0].indexes ||
        fast.glyphs[0].positions != line.glyphs[0].positions)
      m_usable = false;
  }
}

const ShapedTexts::AsciiPairs::Single& ShapedTexts::AsciiPairs::single(int c) {
  Single& s = m_singles[static_cast<std::size_t>(c - kFirst)];
  if (s.known) return s;
  s.known = true;
  Text line;
  shapeLine(QString(QChar(c)), m_font, line);
  if (line.glyphs.size() != 1 || line.glyphs[0].indexes.size() != 1 ||
      line.glyphs[0].positions[0] != QPointF(0, 0))
    return s;
  if (!m_rawFontKnown) {
    m_rawFont = line.glyphs[0].font;
    m_rawFontKnown = true;
  }
  s.usable = line.glyphs[0].font == m_rawFont;
  s.glyph = line.glyphs[0].indexes[0];
  s.advance = line.width;
  return s;
}

bool ShapedTexts::AsciiPairs::pair(int a, int b) {
  const std::size_t at = static_cast<std::size_t>((a - kFirst) * kCount + (b - kFirst));
  if (m_pairs[at] != Pair::Unknown) return m_pairs[at] == Pair::Usable;
  m_pairs[at] = Pair::Unusable;
  const Single& first = single(a);
  const Single& second = single(b);
  if (!first.usable || !second.usable) return false;
  // Alone (digits and signs alone are shaped as no script) and after a
  // letter (as in a name or an address, where they take the letter's).
  qreal kerning = 0;
  for (const QString& lead : {QString(), QStringLiteral("H")}) {
    const QString text = lead + QChar(a) + QChar(b);
    Text line;
    shapeLine(text, m_font, line);
    const qsizetype n = lead.size();
    if (line.glyphs.size() != 1 || line.glyphs[0].font != m_rawFont ||
        line.glyphs[0].indexes.size() != static_cast<std::size_t>(n + 2))
      return false;
    const std::vector<quint32>& glyphs = line.glyphs[0].indexes;
    const std::vector<QPointF>& places = line.glyphs[0].positions;
    const QPointF start = places[static_cast<std::size_t>(n)];
    const QPointF next = places[static_cast<std::size_t>(n + 1)];
    const qreal found = next.x() - start.x() - first.advance;
    if (glyphs[static_cast<std::size_t>(n)] != first.glyph ||
        glyphs[static_cast<std::size_t>(n + 1)] != second.glyph || start.y() != 0 ||
        next.y() != 0 || line.width - next.x() != second.advance || (n > 0 && found != kerning) ||
        (n == 0 && start.x() != 0))
      return false;
    kerning = found;
  }
  m_kerning[at] = kerning;
  m_pairs[at] = Pair::Usable;
  return true;
}

bool ShapedTexts::AsciiPairs::shape(const QString& text, Text& into) {
  if (!m_usable || text.isEmpty()) return false;
  for (const QChar c : text)
    if (c.unicode() < kFirst || c.unicode() >= kFirst + kCount) return false;
  Glyphs glyphs;
  glyphs.indexes.reserve(static_cast<std::size_t>(text.size()));
  glyphs.positions.reserve(static_cast<std::size_t>(text.size()));
  glyphs.characters.reserve(static_cast<std::size_t>(text.size()));
  qreal x = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const int c = text[i].unicode();
    const Single& s = single(c);
    if (!s.usable) return false;
    glyphs.indexes.push_back(s.glyph);
    glyphs.positions.emplace_back(x, 0);
    glyphs.characters.push_back(static_cast<char32_t>(c));
    x += s.advance;
    if (i + 1 < text.size()) {
      const int next = text[i + 1].unicode();
      if (!pair(c, next)) return false;
      x += m_kerning[static_cast<std::size_t>((c - kFirst) * kCount + (next - kFirst))];
    }
  }
  glyphs.font = m_rawFont;
  into.glyphs.clear();
  into.glyphs.push_back(std::move(glyphs));
  into.width = x;
  return true;
}

}  // namespace kestrel
