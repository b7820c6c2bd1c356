#include "report/ShapedTexts.h"

#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

#include "platform/AnsiText.h"

namespace kestrel {

namespace {

// Texts kept for one font. Most texts of a report repeat (headings, dates,
// fees) and are shaped again only after a clear; the names, one per record,
// would otherwise keep the whole report in memory.
constexpr std::size_t kMaxTextsPerFont = 1 << 12;
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

// A place as the paint engines take it: in 1/64 steps, cut towards zero.
qreal inSixtyFourths(qreal v) {
  return std::trunc(v * 64) / 64;
}

// Whether a glyph at `next` can follow one at `last` in one run. A PDF
// writer puts each glyph of a run at its step from the one before, written
// with nine significant digits: a step of a thousand units or more can lose
// its last 1/64, and the error would move every later glyph of the run
// off the place drawText gives it. Such a step starts a new run, whose
// first glyph is placed on its own, as drawText places a text's first.
bool withinStep(QPointF last, QPointF next) {
  constexpr qreal kMaxStep = 1000;
  return std::abs(next.x() - last.x()) < kMaxStep && std::abs(next.y() - last.y()) < kMaxStep;
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
  if (kept.texts.size() >= kMaxTextsPerFont) kept.texts.clear();
  Text& shaped = kept.texts[text];
  if (text.empty()) return shaped;

  const QString unicode = fromAnsi(text);
  if (drawnWhole(unicode)) {
    shaped.drawnWhole = unicode;
    shaped.font = kept.font;
    shaped.width = kept.metrics.horizontalAdvance(unicode);
    return shaped;
  }
  // One line as wide as it needs: shaped as drawText shapes it, trailing
  // blanks counted in its advance as horizontalAdvance counts them.
  QTextLayout layout(unicode, kept.font);
  QTextOption option;
  option.setFlags(QTextOption::IncludeTrailingSpaces);
  layout.setTextOption(option);
  layout.setCacheEnabled(true);  // or the glyph runs would shape the text again
  layout.beginLayout();
  const QTextLine line = layout.createLine();
  layout.endLayout();
  if (!line.isValid()) return shaped;
  shaped.width = line.horizontalAdvance();
  // The runs lie on the line's baseline; they are kept from its start.
  const qreal baseline = line.ascent();
  for (const QGlyphRun& run : line.glyphRuns()) {
    Glyphs& glyphs = shaped.glyphs.emplace_back();
    glyphs.font = run.rawFont();
    const QList<quint32> indexes = run.glyphIndexes();
    const QList<QPointF> positions = run.positions();
    glyphs.indexes.assign(indexes.begin(), indexes.end());
    glyphs.positions.reserve(static_cast<std::size_t>(positions.size()));
    for (const QPointF& p : positions) glyphs.positions.emplace_back(p.x(), p.y() - baseline);
  }
  return shaped;
}

void GlyphBatch::add(const ShapedTexts::Text& text, QPointF origin) {
  if (!text.drawnWhole.isEmpty()) {
    m_wholes.push_back(Whole{text.font, text.drawnWhole, origin});
    return;
  }
  // drawText starts a text at its x in 1/64 steps (cut towards zero) and
  // adds the glyphs' advances to that; so do these glyphs.
  const qreal x = inSixtyFourths(origin.x());
  for (const ShapedTexts::Glyphs& glyphs : text.glyphs) {
    if (glyphs.indexes.empty()) continue;
    const QPointF first(x + glyphs.positions.front().x(),
                        inSixtyFourths(origin.y() + glyphs.positions.front().y()));
    Run* run = nullptr;
    for (std::size_t r = m_used; r-- > 0 && !run;)
      if (m_runs[r].font == glyphs.font) run = &m_runs[r];
    if (!run || !withinStep(run->last, first)) {
      if (m_used == m_runs.size()) m_runs.emplace_back();
      run = &m_runs[m_used++];
      run->font = glyphs.font;
    }
    for (const quint32 index : glyphs.indexes) run->indexes.append(index);
    for (const QPointF& p : glyphs.positions)
      run->positions.append(QPointF(x + p.x(), origin.y() + p.y()));
    run->last = QPointF(x + glyphs.positions.back().x(),
                        inSixtyFourths(origin.y() + glyphs.positions.back().y()));
  }
}

void GlyphBatch::draw(QPainter& painter) {
  for (std::size_t r = 0; r < m_used; ++r) {
    Run& run = m_runs[r];
    {
      QGlyphRun glyphs;
      glyphs.setRawFont(run.font);
      glyphs.setGlyphIndexes(run.indexes);
      glyphs.setPositions(run.positions);
      painter.drawGlyphRun(QPointF(0, 0), glyphs);
    }
    // Emptied but kept, with their room, for the next page.
    run.indexes.clear();
    run.positions.clear();
  }
  m_used = 0;
  if (m_wholes.empty()) return;
  const QFont before = painter.font();
  for (const Whole& whole : m_wholes) {
    painter.setFont(whole.font);
    painter.drawText(whole.origin, whole.text);
  }
  painter.setFont(before);
  m_wholes.clear();
}

}  // namespace kestrel
