#include "pdf/PdfDocument.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <list>
#include <mutex>

#include "pdf/PdfError.h"

namespace kestrel::pdf {

namespace {

// Objects whose numbers are fixed before the pages are written, so that
// every page can name them.
constexpr int kCatalog = 1, kPages = 2, kResources = 3, kInfo = 4;

// A number as PDF reads it: no exponent, at most five decimals (a
// hundred-thousandth of a printer's pixel), no trailing zeros. Written by
// hand: a report writes millions of them.
void appendNumber(std::string& out, double value) {
  constexpr double kScale = 100000;
  // Beyond this a page's coordinates never go; written whole.
  if (!(std::abs(value) < 1e12)) {
    out += std::to_string(static_cast<long long>(std::isfinite(value) ? value : 0));
    return;
  }
  long long scaled = std::llround(value * kScale);
  if (scaled < 0) {
    out += '-';
    scaled = -scaled;
  }
  out += std::to_string(scaled / static_cast<long long>(kScale));
  long long fraction = scaled % static_cast<long long>(kScale);
  if (fraction == 0) return;
  char digits[6] = "00000";
  for (int i = 4; i >= 0; --i, fraction /= 10) digits[i] = static_cast<char>('0' + fraction % 10);
  std::size_t kept = 5;
  while (digits[kept - 1] == '0') --kept;  // a digit is not 0, as fraction is not
  out += '.';
  out.append(digits, kept);
}

void appendNumbers(std::string& out, std::initializer_list<double> values) {
  for (const double value : values) {
    appendNumber(out, value);
    out += ' ';
  }
}

void appendMatrix(std::string& out, const Matrix& m) {
  appendNumbers(out, {m.a, m.b, m.c, m.d, m.e, m.f});
}

void appendHex(std::string& out, std::uint32_t value, int digits) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out += kDigits[value >> shift & 0xF];
}

// A character as UTF-16 code units in hex, as a ToUnicode map writes it.
void appendUtf16(std::string& out, char32_t character) {
  if (character < 0x10000) {
    appendHex(out, character, 4);
    return;
  }
  const char32_t rest = character - 0x10000;
  appendHex(out, 0xD800 + (rest >> 10), 4);
  appendHex(out, 0xDC00 + (rest & 0x3FF), 4);
}

// A UTF-8 text as a PDF text string: UTF-16 with its byte order mark, in hex.
std::string textString(const std::string& utf8) {
  std::string out = "<FEFF";
  for (std::size_t at = 0; at < utf8.size();) {
    const unsigned char lead = static_cast<unsigned char>(utf8[at]);
    const int length = lead < 0x80       ? 1
                       : lead >> 5 == 6  ? 2
                       : lead >> 4 == 14 ? 3
                       : lead >> 3 == 30 ? 4
                                         : 0;
    char32_t character = length == 1   ? lead
                         : length == 2 ? lead & 0x1F
                         : length == 3 ? lead & 0x0F
                                       : lead & 0x07;
    bool whole = length > 0 && at + static_cast<std::size_t>(length) <= utf8.size();
    for (int i = 1; whole && i < length; ++i) {
      const unsigned char next = static_cast<unsigned char>(utf8[at + static_cast<std::size_t>(i)]);
      whole = next >> 6 == 2;
      character = character << 6 | (next & 0x3F);
    }
    if (!whole) character = 0xFFFD;
    appendUtf16(out, character);
    at += whole ? static_cast<std::size_t>(length) : 1;
  }
  return out + '>';
}

// Page contents are packed fast: a long report is mostly their bytes, and
// the best level saves little on them. Font files, packed once for many
// documents, get the default level.
std::string deflate(const std::string& data, int level = Z_BEST_SPEED) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::string packed(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
                reinterpret_cast<const Bytef*>(data.data()), static_cast<uLong>(data.size()),
                level) != Z_OK)
    throw PdfError("A stream of the PDF could not be compressed.");
  packed.resize(size);
  return packed;
}

// The font files embedded lately, compressed: the fonts of a mass print's
// mailers hold much the same glyphs (the digits of the numbers, the
// capitals of the addresses), and compressing a font file is the largest
// part of writing a mailer's document. Shared by the documents of the run.
class PackedSubsets {
 public:
  struct Packed {
    std::string bytes;
    std::size_t length = 0;  // before compression
  };

  std::shared_ptr<const Packed> packed(const std::shared_ptr<const TrueTypeFont>& font,
                                       const std::vector<std::uint16_t>& glyphs) {
    {
      const std::lock_guard<std::mutex> lock(m_mutex);
      for (auto entry = m_entries.begin(); entry != m_entries.end(); ++entry) {
        if (entry->font != font || entry->glyphs != glyphs) continue;
        m_entries.splice(m_entries.begin(), m_entries, entry);  // most recent first
        return m_entries.front().packed;
      }
    }
    const std::string subset = font->subset(glyphs);
    auto made =
        std::make_shared<Packed>(Packed{deflate(subset, Z_DEFAULT_COMPRESSION), subset.size()});
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_entries.push_front(Entry{font, glyphs, made});
    if (m_entries.size() > kKept) m_entries.pop_back();
    return made;
  }

 private:
  static constexpr std::size_t kKept = 16;
  struct Entry {
    std::shared_ptr<const TrueTypeFont> font;  // kept alive, so that no other font takes its place
    std::vector<std::uint16_t> glyphs;
    std::shared_ptr<const Packed> packed;
  };
  std::mutex m_mutex;
  std::list<Entry> m_entries;
};

PackedSubsets& packedSubsets() {
  static PackedSubsets* const subsets = new PackedSubsets;  // for the whole run
  return *subsets;
}

// The six capital letters that mark a font subset's name, the same for the
// same glyphs.
std::string subsetTag(const std::vector<std::uint16_t>& glyphs) {
  std::uint32_t hash = 2166136261u;
  for (const std::uint16_t glyph : glyphs) hash = (hash ^ glyph) * 16777619u;
  std::string tag;
  for (int i = 0; i < 6; ++i, hash /= 26) tag += static_cast<char>('A' + hash % 26);
  return tag + '+';
}

}  // namespace

struct PdfDocument::Font {
  std::shared_ptr<const TrueTypeFont> font;
  std::string name;
  // By glyph number, up to the highest drawn: whether it is drawn, what it
  // stands for (0: unknown) and its width in thousandths of the em as /W
  // gives it (-1: not read yet).
  std::vector<bool> drawn;
  std::vector<char32_t> characters;
  std::vector<int> widths;
  int object = 0;

  void draw(std::uint16_t glyph, char32_t character) {
    if (glyph >= drawn.size()) {
      drawn.resize(glyph + 1u, false);
      characters.resize(glyph + 1u, 0);
      widths.resize(glyph + 1u, -1);
    }
    drawn[glyph] = true;
    if (characters[glyph] == 0) characters[glyph] = character;
  }
  int width(std::uint16_t glyph) {
    int& kept = widths[glyph];
    if (kept < 0)
      kept = static_cast<int>(std::lround(font->advance(glyph) * 1000.0 / font->unitsPerEm()));
    return kept;
  }
  std::vector<std::uint16_t> drawnGlyphs() const {
    std::vector<std::uint16_t> glyphs;
    for (std::size_t glyph = 0; glyph < drawn.size(); ++glyph)
      if (drawn[glyph]) glyphs.push_back(static_cast<std::uint16_t>(glyph));
    return glyphs;
  }
};

PdfDocument::PdfDocument(std::string title, Sink sink)
    : m_title(std::move(title)), m_sink(std::move(sink)) {
  // The binary comment tells transfer programs that the file is not text.
  m_file = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
  m_offsets.assign(kInfo + 1, 0);
}

PdfDocument::~PdfDocument() = default;

int PdfDocument::newObject() {
  m_offsets.push_back(0);
  return static_cast<int>(m_offsets.size()) - 1;
}

void PdfDocument::flush() {
  if (!m_sink || m_file.empty()) return;
  m_sink(m_file);
  m_flushed += m_file.size();
  m_file.clear();
}

void PdfDocument::beginObject(int object) {
  m_offsets[static_cast<std::size_t>(object)] = position();
  m_file += std::to_string(object);
  m_file += " 0 obj\n";
}

void PdfDocument::writeStream(int object, const std::string& dictionary, const std::string& data) {
  writePackedStream(object, dictionary, deflate(data));
}

void PdfDocument::writePackedStream(int object, const std::string& dictionary,
                                    const std::string& packed) {
  beginObject(object);
  m_file += "<< ";
  m_file += dictionary;
  m_file += " /Filter /FlateDecode /Length ";
  m_file += std::to_string(packed.size());
  m_file += " >>\nstream\n";
  m_file += packed;
  m_file += "\nendstream\nendobj\n";
}

int PdfDocument::addFont(std::shared_ptr<const TrueTypeFont> font, const std::string& name) {
  for (std::size_t i = 0; i < m_fonts.size(); ++i)
    if (m_fonts[i]->font == font) return static_cast<int>(i);
  auto added = std::make_unique<Font>();
  added->name = font->postScriptName(name);
  added->font = std::move(font);
  added->object = newObject();
  m_fonts.push_back(std::move(added));
  return static_cast<int>(m_fonts.size()) - 1;
}

void PdfDocument::beginPage(double widthPoints, double heightPoints, const Matrix& toPage) {
  if (m_pageOpen || m_finished) throw PdfError("A page of the PDF is already open.");
  m_pageOpen = true;
  m_pageWidth = widthPoints;
  m_pageHeight = heightPoints;
  m_content.clear();
  appendMatrix(m_content, toPage);
  m_content += "cm\n";
}

void PdfDocument::fillRectangle(const Matrix& frame, double x, double y, double width,
                                double height, double gray) {
  m_content += "q ";
  appendMatrix(m_content, frame);
  m_content += "cm ";
  appendNumbers(m_content, {gray});
  m_content += "g ";
  appendNumbers(m_content, {x, y, width, height});
  m_content += "re f Q\n";
}

void PdfDocument::drawGlyphs(int fontNumber, double emSize, double horizontalScale,
                             const Matrix& frame, std::span<const PlacedGlyph> glyphs) {
  if (glyphs.empty() || emSize <= 0 || horizontalScale <= 0) return;
  Font& font = *m_fonts.at(static_cast<std::size_t>(fontNumber));
  m_content += "q ";
  appendMatrix(m_content, frame);
  m_content += "cm 0 g BT /F";
  m_content += std::to_string(fontNumber + 1);
  m_content += ' ';
  appendNumbers(m_content, {emSize});
  // Text space runs along the frame's x and up its y, widened by the scale.
  m_content += "Tf ";
  appendNumbers(m_content, {horizontalScale, 0, 0, -1, 0, 0});
  m_content += "Tm\n";
  // Each glyph goes where the shaper put it: a glyph on the line's baseline
  // follows the one before with the difference to its advance in the font,
  // any other starts a line of its own.
  bool inLine = false;
  double lineX = 0, lineY = 0, pen = 0;
  for (const PlacedGlyph& placed : glyphs) {
    const double x = placed.x / horizontalScale;
    const double y = -placed.y;
    if (!inLine || y != lineY) {
      if (inLine) m_content += "] TJ\n";
      appendNumbers(m_content, {x - lineX, y - lineY});
      m_content += "Td [";
      lineX = pen = x;
      lineY = y;
      inLine = true;
    } else if (const double adjust = (pen - x) * 1000 / emSize; std::abs(adjust) >= 5e-6) {
      appendNumber(m_content, adjust);
      pen -= adjust * emSize / 1000;
    }
    font.draw(placed.glyph, placed.character);
    m_content += '<';
    appendHex(m_content, placed.glyph, 4);
    m_content += '>';
    pen += font.width(placed.glyph) * emSize / 1000;
  }
  m_content += "] TJ\nET Q\n";
}

void PdfDocument::appendPath(std::span<const PathPiece> path) {
  for (const PathPiece& piece : path) {
    switch (piece.kind) {
      case PathPiece::Kind::Move:
        appendNumbers(m_content, {piece.x[0], piece.y[0]});
        m_content += "m\n";
        break;
      case PathPiece::Kind::Line:
        appendNumbers(m_content, {piece.x[0], piece.y[0]});
        m_content += "l\n";
        break;
      case PathPiece::Kind::Curve:
        appendNumbers(m_content,
                      {piece.x[0], piece.y[0], piece.x[1], piece.y[1], piece.x[2], piece.y[2]});
        m_content += "c\n";
        break;
      case PathPiece::Kind::Close:
        m_content += "h\n";
        break;
    }
  }
}

void PdfDocument::fillPath(const Matrix& frame, std::span<const PathPiece> path) {
  if (path.empty()) return;
  m_content += "q ";
  appendMatrix(m_content, frame);
  m_content += "cm 0 g\n";
  appendPath(path);
  m_content += "f Q\n";
}

void PdfDocument::strokePath(const Matrix& frame, std::span<const PathPiece> path, double width) {
  if (path.empty()) return;
  m_content += "q ";
  appendMatrix(m_content, frame);
  m_content += "cm 0 G ";
  appendNumbers(m_content, {width});
  // Square ends and bevelled corners, as a pen of the windowing system draws.
  m_content += "w 2 J 2 j\n";
  appendPath(path);
  m_content += "S Q\n";
}

void PdfDocument::drawBitImage(const BitImage& image, double x, double y, double width,
                               double height) {
  const std::size_t rowBytes = (static_cast<std::size_t>(image.width) + 7) / 8;
  if (image.width <= 0 || image.height <= 0 ||
      image.rows.size() != rowBytes * static_cast<std::size_t>(image.height))
    throw PdfError("An image of the PDF does not hold its rows.");
  std::string key = std::to_string(image.width) + 'x' + std::to_string(image.height) + ':';
  key += image.rows;
  auto [found, added] = m_images.try_emplace(std::move(key), 0);
  if (added) {
    found->second = newObject();
    m_imageObjects.push_back(found->second);
    writeStream(found->second,
                "/Type /XObject /Subtype /Image /Width " + std::to_string(image.width) +
                    " /Height " + std::to_string(image.height) +
                    " /ColorSpace /DeviceGray /BitsPerComponent 1",
                image.rows);
  }
  // The image's first row lies at the top of the rectangle.
  m_content += "q ";
  appendMatrix(m_content, Matrix{width, 0, 0, -height, x, y + height});
  m_content += "cm /Im";
  m_content += std::to_string(found->second);
  m_content += " Do Q\n";
}

void PdfDocument::endPage() {
  if (!m_pageOpen) throw PdfError("No page of the PDF is open.");
  m_pageOpen = false;
  const int content = newObject();
  writeStream(content, "", m_content);
  const int page = newObject();
  beginObject(page);
  m_file += "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 ";
  appendNumbers(m_file, {m_pageWidth, m_pageHeight});
  m_file += "] /Resources 3 0 R /Contents ";
  m_file += std::to_string(content);
  m_file += " 0 R >>\nendobj\n";
  m_pages.push_back(page);
  flush();
}

void PdfDocument::writeFont(Font& font) {
  const TrueTypeFont& face = *font.font;
  const std::vector<std::uint16_t> glyphs = font.drawnGlyphs();
  const std::string name = subsetTag(glyphs) + font.name;
  const double scale = 1000.0 / face.unitsPerEm();

  const int file = newObject();
  const std::shared_ptr<const PackedSubsets::Packed> subset =
      packedSubsets().packed(font.font, glyphs);
  writePackedStream(file, "/Length1 " + std::to_string(subset->length), subset->bytes);

  const int descriptor = newObject();
  beginObject(descriptor);
  m_file += "<< /Type /FontDescriptor /FontName /" + name;
  // Symbolic: the glyphs are reached by number, not by a standard encoding.
  m_file += face.isFixedPitch() ? " /Flags 5" : " /Flags 4";
  m_file += " /FontBBox [";
  for (int i = 0; i < 4; ++i) appendNumbers(m_file, {std::round(face.boundingBox()[i] * scale)});
  m_file += "] /ItalicAngle 0 /Ascent ";
  appendNumbers(m_file, {std::round(face.ascent() * scale)});
  m_file += "/Descent ";
  appendNumbers(m_file, {std::round(face.descent() * scale)});
  m_file += "/CapHeight ";
  appendNumbers(m_file, {std::round(face.capHeight() * scale)});
  m_file += "/StemV 80 /FontFile2 " + std::to_string(file) + " 0 R >>\nendobj\n";

  const int descendant = newObject();
  beginObject(descendant);
  m_file += "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /" + name;
  m_file += " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >>";
  m_file += " /FontDescriptor " + std::to_string(descriptor) + " 0 R /CIDToGIDMap /Identity /W [";
  // Runs of consecutive glyphs share one entry.
  int expected = -2;
  for (const std::uint16_t glyph : glyphs) {
    if (glyph != expected) {
      if (expected >= 0) m_file += "] ";
      m_file += std::to_string(glyph) + " [";
    } else {
      m_file += ' ';
    }
    m_file += std::to_string(font.width(glyph));
    expected = glyph + 1;
  }
  if (expected >= 0) m_file += ']';
  m_file += "] >>\nendobj\n";

  std::string toUnicode =
      "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
      "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
      "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
  std::vector<std::pair<std::uint16_t, char32_t>> known;
  for (const std::uint16_t glyph : glyphs)
    if (font.characters[glyph] != 0) known.emplace_back(glyph, font.characters[glyph]);
  // A map lists at most a hundred characters a block.
  for (std::size_t first = 0; first < known.size(); first += 100) {
    const std::size_t last = std::min(known.size(), first + 100);
    toUnicode += std::to_string(last - first) + " beginbfchar\n";
    for (std::size_t i = first; i < last; ++i) {
      toUnicode += '<';
      appendHex(toUnicode, known[i].first, 4);
      toUnicode += "> <";
      appendUtf16(toUnicode, known[i].second);
      toUnicode += ">\n";
    }
    toUnicode += "endbfchar\n";
  }
  toUnicode += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
  const int unicodeMap = newObject();
  writeStream(unicodeMap, "", toUnicode);

  beginObject(font.object);
  m_file += "<< /Type /Font /Subtype /Type0 /BaseFont /" + name;
  m_file += " /Encoding /Identity-H /DescendantFonts [" + std::to_string(descendant) +
            " 0 R] /ToUnicode " + std::to_string(unicodeMap) + " 0 R >>\nendobj\n";
}

std::string PdfDocument::finish() {
  if (m_pageOpen) endPage();
  if (m_finished) throw PdfError("The PDF is already finished.");
  m_finished = true;

  std::string fonts;
  for (std::size_t i = 0; i < m_fonts.size(); ++i) {
    Font& font = *m_fonts[i];
    if (font.drawnGlyphs().empty()) font.draw(0, 0);  // named on no page, yet well formed
    writeFont(font);
    fonts += "/F" + std::to_string(i + 1) + ' ' + std::to_string(font.object) + " 0 R ";
  }
  std::string images;
  for (const int image : m_imageObjects)
    images += "/Im" + std::to_string(image) + ' ' + std::to_string(image) + " 0 R ";
  beginObject(kResources);
  m_file += "<< /ProcSet [/PDF /Text /ImageB] /Font << " + fonts + ">> /XObject << " + images +
            ">> >>\nendobj\n";

  beginObject(kPages);
  m_file += "<< /Type /Pages /Count " + std::to_string(m_pages.size()) + " /Kids [";
  for (const int page : m_pages) m_file += std::to_string(page) + " 0 R ";
  m_file += "] >>\nendobj\n";
  beginObject(kCatalog);
  m_file += "<< /Type /Catalog /Pages 2 0 R >>\nendobj\n";

  char date[32] = "";
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  if (gmtime_r(&now, &utc)) std::strftime(date, sizeof date, "D:%Y%m%d%H%M%SZ", &utc);
  beginObject(kInfo);
  m_file += "<< /Title " + textString(m_title) + " /Producer (Kestrel) /CreationDate (" + date +
            ") >>\nendobj\n";

  const std::size_t table = position();
  m_file += "xref\n0 " + std::to_string(m_offsets.size()) + "\n0000000000 65535 f \n";
  for (std::size_t object = 1; object < m_offsets.size(); ++object) {
    char entry[32];
    std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", m_offsets[object]);
    m_file += entry;
  }
  m_file += "trailer\n<< /Size " + std::to_string(m_offsets.size()) +
            " /Root 1 0 R /Info 4 0 R >>\nstartxref\n" + std::to_string(table) + "\n%%EOF\n";
  flush();
  return std::move(m_file);
}

}  // namespace kestrel::pdf
