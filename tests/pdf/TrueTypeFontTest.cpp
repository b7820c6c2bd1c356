// Font subsets as python3-fonttools reads them, and damaged fonts refused
// before anything is read out of bounds.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "DbaseTestSupport.h"
#include "FontFiles.h"
#include "TestPaths.h"
#include "pdf/PdfError.h"
#include "pdf/TrueTypeFont.h"

namespace kestrel::pdf {
namespace {

using test::fontTables;
using test::tableSource;

struct SubsetCase {
  const char* font;
  const char* text;  // UTF-8
};

// Liberation Sans builds its accented capitals from parts, OCR-A has short
// glyph locations and shares one advance among most glyphs, DejaVu Sans
// both has thousands of glyphs and lists fewer advances than glyphs.
class SubsetTest : public testing::TestWithParam<SubsetCase> {};

TEST_P(SubsetTest, KeepsTheGlyphsAndTheirPartsUnderTheirNumbers) {
  const SubsetCase& param = GetParam();
  const TrueTypeFont font(tableSource(fontTables(param.font)));
  const std::vector<test::OracleGlyph> oracle = test::oracleGlyphs(param.font, param.text);
  ASSERT_FALSE(oracle.empty());
  std::vector<std::uint16_t> glyphs;
  std::string numbers;
  for (const test::OracleGlyph& glyph : oracle) {
    EXPECT_EQ(font.advance(static_cast<std::uint16_t>(glyph.glyph)), glyph.advance);
    glyphs.push_back(static_cast<std::uint16_t>(glyph.glyph));
    numbers += ' ' + std::to_string(glyph.glyph);
  }
  test::TempDir dir;
  test::writeBytes(dir.file("subset.ttf"), font.subset(glyphs));
  const auto [status, verdict] = test::runCommand(
      std::string(test::kSystemPython) + " " KESTREL_PDF_TEST_DIR "/font_oracle.py check " +
      param.font + ' ' + dir.file("subset.ttf") + numbers + " 2>&1");
  EXPECT_EQ(status, 0) << verdict;
  EXPECT_EQ(verdict, "ok\n");
}

INSTANTIATE_TEST_SUITE_P(Fonts, SubsetTest,
                         testing::Values(SubsetCase{test::kLiberationSans,
                                                    "Kestrel \xC3\x89\xC3\xA9\xC7\xBA 1"},
                                         SubsetCase{test::kOcrA, "9214 7123 RENE"},
                                         SubsetCase{test::kDejaVuSans, "\xE2\x82\xAC \xC5\x92 Zz"}),
                         [](const testing::TestParamInfo<SubsetCase>& info) {
                           std::string name = info.param.font;
                           name = name.substr(name.rfind('/') + 1);
                           name = name.substr(0, name.find('.'));
                           name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
                           return name;
                         });

struct Damage {
  const char* what;
  std::function<void(std::map<std::string, std::string>&)> apply;
};

void put16(std::string& bytes, std::size_t at, unsigned value) {
  bytes[at] = static_cast<char>(value >> 8);
  bytes[at + 1] = static_cast<char>(value & 0xFF);
}

// A damaged font is a PdfError when it is read or cut down, never a read
// past its tables (the sanitizer build runs these too).
TEST(TrueTypeFontTest, DamagedFontsAreRefused) {
  const Damage damages[] = {
      {"no outlines", [](auto& t) { t.erase("glyf"); }},
      {"a head cut short", [](auto& t) { t["head"].resize(40); }},
      {"fewer advances than claimed", [](auto& t) { t["hmtx"].resize(100); }},
      {"no advances at all", [](auto& t) { put16(t["hhea"], 34, 0); }},
      {"glyph locations past the outlines", [](auto& t) { t["glyf"].resize(1000); }},
      {"glyph locations cut short", [](auto& t) { t["loca"].resize(64); }},
      {"a composite glyph cut after its header",
       [](auto& t) {
         // Glyph 98 of Liberation Sans is put together from parts; its
         // outline now ends twelve bytes in, in the middle of its first part.
         std::string& loca = t["loca"];
         const auto at = [&](std::size_t i) {
           return static_cast<std::uint32_t>(static_cast<unsigned char>(loca[i * 4]) << 24 |
                                             static_cast<unsigned char>(loca[i * 4 + 1]) << 16 |
                                             static_cast<unsigned char>(loca[i * 4 + 2]) << 8 |
                                             static_cast<unsigned char>(loca[i * 4 + 3]));
         };
         const std::uint32_t start = at(98);
         std::string& glyf = t["glyf"];
         glyf = glyf.substr(0, start + 12);
         for (std::size_t i = 99; i * 4 + 3 < loca.size(); ++i) {
           const std::uint32_t end = start + 12;
           loca[i * 4] = static_cast<char>(end >> 24);
           loca[i * 4 + 1] = static_cast<char>(end >> 16 & 0xFF);
           loca[i * 4 + 2] = static_cast<char>(end >> 8 & 0xFF);
           loca[i * 4 + 3] = static_cast<char>(end & 0xFF);
         }
       }},
  };
  for (const Damage& damage : damages) {
    SCOPED_TRACE(damage.what);
    std::map<std::string, std::string> tables = fontTables(test::kLiberationSans);
    damage.apply(tables);
    EXPECT_THROW(TrueTypeFont(tableSource(tables)).subset({36, 98}), PdfError);
  }
  EXPECT_NO_THROW(TrueTypeFont(tableSource(fontTables(test::kLiberationSans))).subset({36, 98}));
}

// A subset of blank glyphs only (a space, an empty .notdef) has no outline
// bytes at all, and still reads back as a font.
TEST(TrueTypeFontTest, ASubsetOfBlankGlyphsReadsBack) {
  std::map<std::string, std::string> tables = fontTables(test::kLiberationSans);
  std::string& loca = tables["loca"];
  std::copy_n(loca.begin(), 4, loca.begin() + 4);  // glyph 0 ends where it starts
  const TrueTypeFont font(tableSource(tables));
  const std::string subset = font.subset({3});  // the space
  test::TempDir dir;
  test::writeBytes(dir.file("blank.ttf"), subset);
  const TrueTypeFont reread(tableSource(fontTables(dir.file("blank.ttf"))));
  EXPECT_EQ(reread.glyphCount(), 4);
  EXPECT_EQ(reread.advance(3), font.advance(3));
}

TEST(TrueTypeFontTest, NamesItselfByItsPostScriptName) {
  EXPECT_EQ(TrueTypeFont(tableSource(fontTables(test::kLiberationSans))).postScriptName("x"),
            "LiberationSans");
  std::map<std::string, std::string> unnamed = fontTables(test::kOcrA);
  unnamed.erase("name");
  EXPECT_EQ(TrueTypeFont(tableSource(unnamed)).postScriptName("OCR A Extended"), "OCRAExtended");
}

}  // namespace
}  // namespace kestrel::pdf
