#include "report/GlyphBatch.h"

#include <cmath>

namespace kestrel {

namespace {

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
      if (m_runs[r].glyphs.font == glyphs.font) run = &m_runs[r];
    if (!run || !withinStep(run->last, first)) {
      if (m_used == m_runs.size()) m_runs.emplace_back();
      run = &m_runs[m_used++];
      run->glyphs.font = glyphs.font;
    }
    ShapedTexts::Glyphs& placed = run->glyphs;
    placed.indexes.insert(placed.indexes.end(), glyphs.indexes.begin(), glyphs.indexes.end());
    for (const QPointF& p : glyphs.positions)
      placed.positions.emplace_back(x + p.x(), origin.y() + p.y());
    placed.characters.insert(placed.characters.end(), glyphs.characters.begin(),
                             glyphs.characters.end());
    placed.characters.resize(placed.indexes.size(), 0);
    run->last = QPointF(x + glyphs.positions.back().x(),
                        inSixtyFourths(origin.y() + glyphs.positions.back().y()));
  }
}

void GlyphBatch::draw(ReportSurface& surface) {
  for (std::size_t r = 0; r < m_used; ++r) {
    Run& run = m_runs[r];
    surface.drawGlyphs(run.glyphs);
    // Emptied but kept, with their room, for the next page.
    run.glyphs.indexes.clear();
    run.glyphs.positions.clear();
    run.glyphs.characters.clear();
  }
  m_used = 0;
  for (const Whole& whole : m_wholes) surface.drawText(whole.font, whole.origin, whole.text);
  m_wholes.clear();
}

}  // namespace kestrel
