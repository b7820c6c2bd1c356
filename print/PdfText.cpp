#include "print/PdfText.h"

#include <QPainterPath>
#include <QRawFont>
#include <cmath>
#include <map>
#include <memory>
#include <vector>

#include "pdf/PdfDocument.h"
#include "pdf/PdfError.h"

namespace kestrel {

namespace {

using pdf::Matrix;

// A font engine's font as the PDF embeds it; empty when it has no TrueType
// outlines (its glyphs are then drawn as outlines).
using EmbeddedFont = std::shared_ptr<const pdf::TrueTypeFont>;

// The installed fonts as documents embed them, and each engine's width, for
// the whole run: fonts do not change while the program runs, and a font's
// tables are read once. Never destroyed, as font engines must not outlive
// the application's font database.
struct EmbeddedFonts {
  std::map<QString, EmbeddedFont> fonts;  // by font file
  // The font engines met lately (an engine is a font at one size), each
  // with its font and its width: a page's runs of glyphs come in a few
  // engines over and over, and an engine is told by a pointer's compare.
  struct Engine {
    QRawFont raw;
    EmbeddedFont embedded;
    double scale = 0;  // 0: not measured yet
  };
  std::vector<Engine> engines;
};

EmbeddedFonts& shared() {
  static EmbeddedFonts* const fonts = new EmbeddedFonts;
  return *fonts;
}

QString fontKey(const QRawFont& raw) {
  return raw.familyName() + QLatin1Char('|') + raw.styleName() + QLatin1Char('|') +
         QString::number(raw.weight()) + QLatin1Char('|') +
         QString::number(static_cast<int>(raw.style()));
}

EmbeddedFont embeddedFont(const QRawFont& raw) {
  auto [found, added] = shared().fonts.try_emplace(fontKey(raw));
  if (added) {
    try {
      found->second = std::make_shared<const pdf::TrueTypeFont>([&raw](const char* tag) {
        const QByteArray table = raw.fontTable(tag);
        return std::string(table.constData(), static_cast<std::size_t>(table.size()));
      });
    } catch (const pdf::PdfError&) {
      found->second = nullptr;  // drawn as outlines
    }
  }
  return found->second;
}

// How much a font engine widens its glyphs: Qt narrows a face to the
// stretch asked for, and a fallback face (a condensed one, say) by what is
// left of it. Read once from the engine's advances against the font's own,
// in whole percent as Qt keeps a stretch.
double horizontalScale(EmbeddedFonts::Engine& engine, const std::vector<quint32>& glyphs) {
  if (engine.scale > 0) return engine.scale;
  const QRawFont& raw = engine.raw;
  const pdf::TrueTypeFont& font = *engine.embedded;
  QList<quint32> indexes;
  double designed = 0;
  for (const quint32 glyph : glyphs) {
    indexes.append(glyph);
    designed += font.advance(static_cast<std::uint16_t>(glyph));
  }
  double drawn = 0;
  for (const QPointF& advance : raw.advancesForGlyphIndexes(indexes, QRawFont::UseDesignMetrics))
    drawn += advance.x();
  designed *= raw.pixelSize() / font.unitsPerEm();
  if (designed <= 0) return 1;  // nothing to measure by yet
  engine.scale = std::round(drawn / designed * 100) / 100;
  return engine.scale;
}

EmbeddedFonts::Engine& engineOf(const QRawFont& raw) {
  std::vector<EmbeddedFonts::Engine>& engines = shared().engines;
  for (EmbeddedFonts::Engine& engine : engines)
    if (engine.raw == raw) return engine;
  // A handful serve a run; more would be a report of many font sizes.
  constexpr std::size_t kMaxEngines = 32;
  if (engines.size() >= kMaxEngines) engines.clear();
  engines.push_back(EmbeddedFonts::Engine{raw, embeddedFont(raw)});
  return engines.back();
}

// A font engine draws its glyphs' outlines as wide as it draws them.
void drawOutlines(pdf::PdfDocument& document, const Matrix& frame, double baseline,
                  const ShapedTexts::Glyphs& glyphs) {
  std::vector<pdf::PathPiece> path;
  for (std::size_t i = 0; i < glyphs.indexes.size(); ++i) {
    const QPainterPath outline = glyphs.font.pathForGlyph(glyphs.indexes[i]);
    const QPointF at(glyphs.positions[i].x(), baseline + glyphs.positions[i].y());
    for (int e = 0; e < outline.elementCount(); ++e) {
      const QPainterPath::Element element = outline.elementAt(e);
      pdf::PathPiece piece;
      int points = 1;
      if (element.isMoveTo()) {
        piece.kind = pdf::PathPiece::Kind::Move;
      } else if (element.isLineTo()) {
        piece.kind = pdf::PathPiece::Kind::Line;
      } else if (element.isCurveTo() && e + 2 < outline.elementCount()) {
        piece.kind = pdf::PathPiece::Kind::Curve;
        points = 3;
      } else {
        continue;
      }
      for (int p = 0; p < points; ++p) {
        const QPainterPath::Element point = outline.elementAt(e + p);
        piece.x[p] = at.x() + point.x;
        piece.y[p] = at.y() + point.y;
      }
      e += points - 1;
      path.push_back(piece);
    }
  }
  document.fillPath(frame, path);
}

}  // namespace

void writeShapedGlyphs(pdf::PdfDocument& document, const Matrix& frame, double baseline,
                       const ShapedTexts::Glyphs& glyphs) {
  EmbeddedFonts::Engine& engine = engineOf(glyphs.font);
  if (!engine.embedded) {
    drawOutlines(document, frame, baseline, glyphs);
    return;
  }
  const double scale = horizontalScale(engine, glyphs.indexes);
  const int number = document.addFont(engine.embedded, glyphs.font.familyName().toStdString());
  std::vector<pdf::PlacedGlyph> placed;
  placed.reserve(glyphs.indexes.size());
  for (std::size_t i = 0; i < glyphs.indexes.size(); ++i)
    placed.push_back(
        pdf::PlacedGlyph{static_cast<std::uint16_t>(glyphs.indexes[i]), glyphs.positions[i].x(),
                         baseline + glyphs.positions[i].y(),
                         i < glyphs.characters.size() ? glyphs.characters[i] : char32_t{0}});
  document.drawGlyphs(number, glyphs.font.pixelSize(), scale, frame, placed);
}

void writeShapedText(pdf::PdfDocument& document, const Matrix& frame, double baseline,
                     const ShapedTexts::Text& shaped) {
  for (const ShapedTexts::Glyphs& glyphs : shaped.glyphs)
    writeShapedGlyphs(document, frame, baseline, glyphs);
}

}  // namespace kestrel
