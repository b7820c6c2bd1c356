// Documents of the PDF writer as independent readers see them: qpdf checks
// the file's structure, poppler reads the text back (its characters and its
// places) and renders the images.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>

#include "DbaseTestSupport.h"
#include "FontFiles.h"
#include "pdf/PdfDocument.h"
#include "pdf/PdfError.h"

namespace kestrel::pdf {
namespace {

// A 600-dpi printer's pixels, y down, on a Letter sheet.
constexpr double kDpi = 600;
const Matrix kToPage{72 / kDpi, 0, 0, -72 / kDpi, 0, 792};
constexpr double kEm = 100;  // pixels

// The text's glyphs side by side from the frame's origin, as a shaper without
// kerning puts them in a font narrowed by `scale`; returns where it ends.
double placeText(const std::string& fontPath, const std::u32string& characters,
                 const std::string& utf8, std::vector<PlacedGlyph>& placed, double scale = 1) {
  double x = 0;
  const std::vector<test::OracleGlyph> glyphs = test::oracleGlyphs(fontPath, utf8);
  EXPECT_EQ(glyphs.size(), characters.size());
  for (std::size_t i = 0; i < glyphs.size() && i < characters.size(); ++i) {
    placed.push_back(PlacedGlyph{static_cast<std::uint16_t>(glyphs[i].glyph), x, 0, characters[i]});
    x += glyphs[i].advance * kEm / 2048 * scale;
  }
  return x;
}

// pdftotext's words of a page with their boxes, in points from the top left.
struct Word {
  std::string text;
  double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};
std::vector<Word> wordsOf(const std::string& pdf, int page) {
  const auto [status, html] =
      test::runCommand("pdftotext -bbox -f " + std::to_string(page) + " -l " +
                       std::to_string(page) + ' ' + test::shellQuote(pdf) + " - 2>&1");
  EXPECT_EQ(status, 0) << html;
  std::vector<Word> words;
  for (std::size_t at = 0; (at = html.find("<word ", at)) != std::string::npos;) {
    Word word;
    std::sscanf(html.c_str() + at, "<word xMin=\"%lf\" yMin=\"%lf\" xMax=\"%lf\" yMax=\"%lf\">",
                &word.xMin, &word.yMin, &word.xMax, &word.yMax);
    const std::size_t start = html.find('>', at) + 1;
    at = html.find("</word>", start);
    word.text = html.substr(start, at - start);
    words.push_back(word);
  }
  return words;
}

// A page rendered by pdftoppm in shades of grey: one byte a pixel.
struct Rendered {
  int width = 0, height = 0;
  std::string pixels;
  int at(int x, int y) const {
    return static_cast<unsigned char>(pixels.at(static_cast<std::size_t>(y * width + x)));
  }
};
Rendered render(const std::string& pdf, int page, int dpi, const test::TempDir& dir) {
  const std::string out = dir.file("page");
  const auto [status, errors] = test::runCommand(
      "pdftoppm -gray -singlefile -r " + std::to_string(dpi) + " -f " + std::to_string(page) +
      " -l " + std::to_string(page) + ' ' + test::shellQuote(pdf) + ' ' + out + " 2>&1");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(errors, "") << "poppler complained";
  Rendered rendered;
  std::istringstream pgm(test::readBytes(out + ".pgm"));
  std::string magic;
  int maximum = 0;
  pgm >> magic >> rendered.width >> rendered.height >> maximum;
  pgm.get();
  rendered.pixels.assign(std::istreambuf_iterator<char>(pgm), {});
  return rendered;
}

TEST(PdfDocumentTest, TextAndImagesReadBackWhereTheyWereDrawn) {
  test::TempDir dir;
  const std::string path = dir.file("document.pdf");
  double turnedLength = 0;  // pixels
  {
    PdfDocument document("Kestrel \xE2\x80\x93 test");
    const auto sans = std::make_shared<const TrueTypeFont>(
        test::tableSource(test::fontTables(test::kLiberationSans)));
    const int font = document.addFont(sans, "Liberation Sans");
    EXPECT_EQ(document.addFont(sans, "again"), font);

    // Page 1: a line of text with its baseline two inches down, starting
    // one inch in, on a white cell.
    document.beginPage(612, 792, kToPage);
    std::vector<PlacedGlyph> line;
    placeText(test::kLiberationSans, U"Kestrel \u00DCn\u00EFcode",
              "Kestrel \xC3\x9Cn\xC3\xAF"
              "code",
              line);
    const Matrix frame{1, 0, 0, 1, kDpi, 2 * kDpi};
    document.fillRectangle(frame, 0, -kEm, 1000, kEm, 1);
    document.drawGlyphs(font, kEm, 1, frame, line);
    document.endPage();

    // Page 2: a bar-code-like image drawn twice, and a text turned a
    // quarter (reading upwards).
    document.beginPage(612, 792, kToPage);
    const BitImage bars{16, 2, std::string("\xF0\x0F\x00\x00", 4)};
    document.drawBitImage(bars, 600, 600, 1600, 400);
    document.drawBitImage(bars, 600, 3000, 1600, 400);
    std::vector<PlacedGlyph> turned;
    turnedLength = placeText(test::kLiberationSans, U"Upwards", "Upwards", turned, 0.84);
    document.drawGlyphs(font, kEm, 0.84, Matrix{0, -1, 1, 0, 3 * kDpi, 5 * kDpi}, turned);
    test::writeBytes(path, document.finish());
    EXPECT_THROW(document.finish(), PdfError);
  }

  const auto [checked, verdict] = test::runCommand("qpdf --check " + path + " 2>&1");
  EXPECT_EQ(checked, 0) << verdict;
  EXPECT_NE(verdict.find("No syntax or stream encoding errors"), std::string::npos) << verdict;
  const auto [listed, fonts] = test::runCommand("pdffonts " + path);
  const std::size_t subset = fonts.find("+LiberationSans ");
  ASSERT_NE(subset, std::string::npos) << fonts;
  EXPECT_NE(fonts.find("CID TrueType      Identity-H       yes yes yes", subset), std::string::npos)
      << "embedded, a subset, mapped to Unicode:\n"
      << fonts;
  const auto [found, info] = test::runCommand("pdfinfo " + path);
  EXPECT_NE(info.find("Title:           Kestrel \xE2\x80\x93 test"), std::string::npos) << info;
  EXPECT_NE(info.find("Pages:           2"), std::string::npos) << info;

  // The words at their places (an inch is 72 points; the line's baseline
  // lies two inches down, an em of 100 pixels is 12 points).
  const std::vector<Word> first = wordsOf(path, 1);
  ASSERT_EQ(first.size(), 2u);
  EXPECT_EQ(first[0].text, "Kestrel");
  EXPECT_EQ(first[1].text,
            "\xC3\x9Cn\xC3\xAF"
            "code");
  EXPECT_NEAR(first[0].xMin, 72, 0.01);
  EXPECT_NEAR(first[1].xMin, 72 + (1366 + 1139 + 1024 + 569 + 682 + 1139 + 455 + 569) * 12.0 / 2048,
              0.01);
  EXPECT_LT(first[0].yMin, 144);
  EXPECT_GT(first[0].yMax, 144);
  const std::vector<Word> second = wordsOf(path, 2);
  ASSERT_EQ(second.size(), 1u);
  EXPECT_EQ(second[0].text, "Upwards");
  // Up the page from five inches down, three inches in.
  EXPECT_NEAR(second[0].yMax, 360, 0.01);
  EXPECT_NEAR(second[0].yMax - second[0].yMin, turnedLength * 72 / kDpi, 0.01);
  EXPECT_NEAR(second[0].xMax, 216 + 12 * 0.22, 0.5) << "the glyphs' bottoms to the right";

  // Each image pixel is a sixth of an inch: ten pixels at 60 dpi. Row one
  // is white, black, white (4, 8, 4 pixels); row two is black.
  const Rendered page = render(path, 2, 60, dir);
  ASSERT_EQ(page.width, 510);
  for (const int top : {60, 300}) {
    SCOPED_TRACE(top);
    EXPECT_EQ(page.at(60 + 20, top + 10), 255);
    EXPECT_EQ(page.at(60 + 80, top + 10), 0);
    EXPECT_EQ(page.at(60 + 140, top + 10), 255);
    EXPECT_EQ(page.at(60 + 20, top + 30), 0);
    EXPECT_EQ(page.at(60 + 140, top + 30), 0);
    EXPECT_EQ(page.at(60 + 20, top + 50), 255) << "nothing below the image";
  }
  const auto [imaged, images] = test::runCommand("pdfimages -list " + path + " | tail -n 2");
  std::istringstream rows(images);
  std::string a, b;
  std::getline(rows, a);
  std::getline(rows, b);
  EXPECT_EQ(a.substr(60, 12), b.substr(60, 12)) << "one image object for both:\n" << images;
}

}  // namespace
}  // namespace kestrel::pdf
