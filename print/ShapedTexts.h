#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QString>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace kestrel {

// Texts shaped once for each font they are drawn in. Shaping a text (its
// glyphs and their places, kerning included) costs far more than drawing
// it, and a report repeats most of its texts on every page: the headings,
// the dates, the fees. The kept glyphs land exactly where
// QPainter::drawText puts them.
class ShapedTexts {
 public:
  // The glyphs of one font engine (a text needs more than one when its
  // font lacks a character), placed from the start of the baseline.
  struct Glyphs {
    QRawFont font;
    std::vector<quint32> indexes;
    std::vector<QPointF> positions;
    // The character each glyph stands for (0 where the shaper made one
    // glyph of several), so that a PDF's text can be copied and searched.
    std::vector<char32_t> characters;
  };
  // A text as shaped in one font, and its advance (what
  // QFontMetricsF::horizontalAdvance gives).
  struct Text {
    std::vector<Glyphs> glyphs;
    qreal width = 0;
    // A text with control characters or soft hyphens, which drawText and a
    // line layout treat apart, is drawn by drawText itself.
    QString drawnWhole;
    QFont font;  // for drawnWhole
  };

  // Keeps up to `maxTextsPerFont` texts of each font, and begins afresh
  // when a font has more. Most texts of a report repeat (headings, dates,
  // fees) and are shaped again only after a clear; the names, one per
  // record, would otherwise keep the whole report in memory. A mass print
  // repeats only the form's captions and keeps far fewer.
  explicit ShapedTexts(std::size_t maxTextsPerFont = 1 << 12)
      : m_maxTextsPerFont(maxTextsPerFont) {}

  // The text (Windows-1252, as a report holds it) shaped in `font`. The
  // reference holds until the next call.
  const Text& shaped(const QFont& font, const std::string& text);
  // The same for a text in Unicode (the form printer's), kept like the
  // others when Windows-1252 spells it.
  const Text& shaped(const QFont& font, const QString& text);
  // One line as wide as it needs, shaped as drawText shapes it, trailing
  // blanks counted in its advance as horizontalAdvance counts them; tabs
  // and control characters as a line layout places them. Not kept.
  static Text shapedLine(const QFont& font, const QString& text);

 private:
  // Printable ASCII, the bulk of a log's texts, put together from its
  // characters and their pairs as the shaper placed them: one character's
  // glyph and advance, and the kerning of each pair. Used only while the
  // font shapes such text pair by pair (each pair checked as it is first
  // met, the font as a whole on sample lines): a text of that kind then
  // gets the very glyphs and places the shaper gives, at a fraction of
  // the price, which counts for the texts that never repeat (names,
  // mailer numbers).
  class AsciiPairs {
   public:
    explicit AsciiPairs(const QFont& font);
    // False when the text is not printable ASCII or a pair of it is not
    // placed pair by pair.
    bool shape(const QString& text, Text& into);

   private:
    static constexpr int kFirst = 0x20, kCount = 0x7F - 0x20;
    struct Single {
      bool known = false, usable = false;
      quint32 glyph = 0;
      qreal advance = 0;
    };
    enum class Pair : unsigned char { Unknown, Usable, Unusable };
    const Single& single(int c);
    bool pair(int a, int b);
    QFont m_font;
    QRawFont m_rawFont;  // the font engine of every usable character
    bool m_rawFontKnown = false;
    bool m_usable = true;  // the sample lines agreed
    std::vector<Single> m_singles;
    std::vector<Pair> m_pairs;
    std::vector<qreal> m_kerning;
  };

  struct FontTexts {
    explicit FontTexts(const QFont& f) : font(f), metrics(f), pairs(f) {}
    QFont font;
    QFontMetricsF metrics;
    AsciiPairs pairs;
    std::unordered_map<std::string, Text> texts;
  };
  FontTexts& forFont(const QFont& font);

  std::size_t m_maxTextsPerFont;
  std::vector<std::unique_ptr<FontTexts>> m_fonts;
  FontTexts* m_last = nullptr;
  Text m_unkept;  // a Unicode text beyond Windows-1252
};

}  // namespace kestrel
