#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
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
  // What it stands for, so that readers can copy and search the text (0:
  // unknown). A glyph keeps the first character it is given.
  char32_t character = 0;
};

// A black-and-white image, rows top to bottom, each row packed eight pixels
// a byte, the first pixel in the highest bit; a set bit is white.
struct BitImage {
  int width = 0;
  int height = 0;
  std::string rows;  // height rows of (width + 7) / 8 bytes
};

// One piece of an outline: a move, a line, a cubic curve (three points) or
// the close of the current part.
struct PathPiece {
  enum class Kind { Move, Line, Curve, Close } kind = Kind::Move;
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
  // Receives the file's bytes in order as pages are finished, so that a
  // long document need not be held in memory.
  using Sink = std::function<void(std::string_view bytes)>;

  // Without a sink, finish() returns the whole file.
  explicit PdfDocument(std::string title, Sink sink = {});
  ~PdfDocument();
  PdfDocument(const PdfDocument&) = delete;
  PdfDocument& operator=(const PdfDocument&) = delete;

  // The document's number for the font (the same font, the same number);
  // `name` stands in when the font names no PostScript name.
  int addFont(std::shared_ptr<const TrueTypeFont> font, const std::string& name);

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
  // Strokes a path in black, `width` wide in the frame's units; 0 is the
  // thinnest line the device draws.
  void strokePath(const Matrix& frame, std::span<const PathPiece> path, double width);
  // Draws the image stretched over the rectangle, in drawing units, pixel
  // for pixel without smoothing. The same image drawn again is stored once.
  void drawBitImage(const BitImage& image, double x, double y, double width, double height);
  void endPage();

  // The bytes of the whole file (or, with a sink, the rest of them go to
  // the sink and nothing is returned). Throws PdfError when a font cannot be
  // embedded. The document takes no more pages.
  std::string finish();

 private:
  struct Font;
  int newObject();
  std::size_t position() const { return m_flushed + m_file.size(); }
  void flush();
  void beginObject(int object);
  void writeStream(int object, const std::string& dictionary, const std::string& data);
  void writePackedStream(int object, const std::string& dictionary, const std::string& packed);
  void writeFont(Font& font);
  void appendPath(std::span<const PathPiece> path);

  std::string m_title;
  Sink m_sink;
  std::string m_file;                  // not yet handed to the sink
  std::size_t m_flushed = 0;           // bytes handed to the sink
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
