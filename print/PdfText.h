#pragma once

#include "print/ShapedTexts.h"

namespace kestrel {

namespace pdf {
class PdfDocument;
struct Matrix;
}  // namespace pdf

// Writes a shaped text into a PDF document as text: the glyphs of each font
// engine in a subset of its font (whose tables are read once for the run),
// as wide as the engine draws them, mapped back to the text's characters so
// that readers can copy and search it. A font without TrueType outlines
// draws its glyphs as filled outlines.
//
// `frame` maps the text's place onto the document's drawing units: x along
// the baseline, y downwards, the baseline `baseline` below the origin (the
// glyphs' positions are ShapedTexts', from the baseline's start).
void writeShapedText(pdf::PdfDocument& document, const pdf::Matrix& frame, double baseline,
                     const ShapedTexts::Text& shaped);
// The same for the glyphs of one font engine.
void writeShapedGlyphs(pdf::PdfDocument& document, const pdf::Matrix& frame, double baseline,
                       const ShapedTexts::Glyphs& glyphs);

}  // namespace kestrel
