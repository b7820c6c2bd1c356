#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "pdf/TrueTypeFont.h"

namespace kestrel::pdf {

// An affine map: x' = a x + c y + e, y' = b x + d y + f (PDF's order).
struct Matrix {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
};

// A glyph of a text, placed in the text's frame: x along the baseline, y
// downwards, in drawing units (before the frame's horizontal scale).
struct PlacedGlyph {
  std::uint16_t glyph = 0;
  double x = 0;
  double y = 0;
};

// A black-and-white image, rows top to bottom, each row packed eight pixels
// a byte, the first pixel in the highest bit; a set bit is white.
struct BitImage {
  int width = 0;
  int height = 0;
  std::string rows;  // height rows of (width + 7) / 8 bytes
};

// One piece of an outline: a move, a line or a cubic curve (three points).
struct PathPiece {
  enum class Kind { Move, Line, Curve } kind = Kind::Move;
  double x[3] = {0, 0, 0};
  double y[3] = {0, 0, 0};
};

// A PDF document written in memory: pages of text in embedded TrueType
// subsets, black-and-white images, white cells and filled outlines. Drawing
// units are those of the page's `toPage` map (a printer's pixels, y down);
// the file is made whole by finish(). The fonts are embedded once for the
// document, with only the glyphs it draws.
class PdfDocument {
 public:
  explicit PdfDocument(std::string title);
  ~PdfDocument();
  PdfDocument(const PdfDocument&) = delete;
  PdfDocument& operator=(const PdfDocument&) = delete;

  // The document's number for the font (the same font, the same number);
  // `name` stands in when the font names no PostScript name.
  int addFont(std::shared_ptr<const TrueTypeFont> font, const std::string& name);
  // The character a glyph of the font stands for, so that readers can copy
  // and search the text.
  void mapGlyph(int font, std::uint16_t glyph, char32_t character);

  // Opens a page of the given size in points; `toPage` maps drawing units
  // onto the page's points (whose origin is the lower-left corner).
  void beginPage(double widthPoints, double heightPoints, const Matrix& toPage);
  // Fills the rectangle, given in the frame (a map onto drawing units), in a
  // grey from 0 (black) to 1 (white).
  void fillRectangle(const Matrix& frame, double x, double y, double width, double height,
                     double gray);
  // Draws glyphs of the font in black at an em size in drawing units,
  // widened by the horizontal scale.
  void drawGlyphs(int font, double emSize, double horizontalScale, const Matrix& frame,
                  std::span<const PlacedGlyph> glyphs);
  // Fills an outline in black (glyphs of a font that cannot be embedded).
  void fillPath(const Matrix& frame, std::span<const PathPiece> path);
  // Draws the image stretched over the rectangle, in drawing units, pixel
  // for pixel without smoothing. The same image drawn again is stored once.
  void drawBitImage(const BitImage& image, double x, double y, double width, double height);
  void endPage();

  // The bytes of the whole file. Throws PdfError when a font cannot be
  // embedded. The document takes no more pages.
  std::string finish();

 private:
  struct Font;
  int newObject();
  void beginObject(int object);
  void writeStream(int object, const std::string& dictionary, const std::string& data);
  void writePackedStream(int object, const std::string& dictionary, const std::string& packed);
  void writeFont(Font& font);

  std::string m_title;
  std::string m_file;
  std::vector<std::size_t> m_offsets;  // of each object, by number (0 unused)
  std::vector<int> m_pages;            // page objects
  std::vector<std::unique_ptr<Font>> m_fonts;
  std::unordered_map<std::string, int> m_images;  // image bytes and size -> object
  std::vector<int> m_imageObjects;
  std::string m_content;  // of the open page
  double m_pageWidth = 0, m_pageHeight = 0;
  bool m_pageOpen = false;
  bool m_finished = false;
};

}  // namespace kestrel::pdf
