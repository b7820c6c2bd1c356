// Our bar-code images against independent implementations: libzint makes the
// reference module sequences, zxing-cpp decodes our pixels.
#include <ZXing/ReadBarcode.h>
#include <gtest/gtest.h>
#include <zint.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "numbering/Barcode.h"
#include "numbering/BarcodePainter.h"
#include "numbering/MailerNumber.h"

namespace kestrel {
namespace {

using Runs = std::vector<int>;

struct ZintDeleter {
  void operator()(zint_symbol* symbol) const { ZBarcode_Delete(symbol); }
};
using ZintSymbol = std::unique_ptr<zint_symbol, ZintDeleter>;

ZintSymbol zintEncode(int symbology, const std::string& data) {
  ZintSymbol symbol(ZBarcode_Create());
  symbol->symbology = symbology;
  const int rc = ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(data.data()),
                                 static_cast<int>(data.size()));
  EXPECT_LT(rc, ZINT_ERROR) << symbol->errtxt;
  return symbol;
}

bool zintModule(const zint_symbol& symbol, int row, int column) {
  return ((symbol.encoded_data[row][column >> 3] >> (column & 7)) & 1) != 0;
}

// Bar/space run lengths of zint's one-row symbol, bar first.
Runs zintRuns(const zint_symbol& symbol) {
  Runs runs;
  for (int c = 0; c < symbol.width; ++c) {
    const bool bar = zintModule(symbol, 0, c);
    if (runs.empty() || bar != (runs.size() % 2 == 1)) runs.push_back(0);
    runs.back() += 1;
  }
  return runs;
}

// Bar/space run lengths, in modules, of one pixel row of our image, read left
// to right; the white quiet zones at both ends are checked and left out.
Runs imageRuns(const MonoBitmap& image, int row, int scale) {
  std::vector<int> pixelRuns;
  bool current = false;
  pixelRuns.push_back(0);
  for (int x = 0; x < image.Width; ++x) {
    if (image.black(x, row) != current) {
      current = !current;
      pixelRuns.push_back(0);
    }
    pixelRuns.back() += 1;
  }
  EXPECT_FALSE(current) << "the image must end in white";
  EXPECT_EQ(pixelRuns.front(), kQuietZoneModules * scale);
  EXPECT_EQ(pixelRuns.back(), kQuietZoneModules * scale);
  Runs runs;
  for (std::size_t i = 1; i + 1 < pixelRuns.size(); ++i) {
    EXPECT_EQ(pixelRuns[i] % scale, 0);
    runs.push_back(pixelRuns[i] / scale);
  }
  return runs;
}

ZXing::Result zxingRead(const MonoBitmap& image) {
  std::vector<std::uint8_t> grey(image.Pixels.size());
  for (std::size_t i = 0; i < grey.size(); ++i) grey[i] = image.Pixels[i] ? 0 : 255;
  ZXing::DecodeHints hints;
  hints.setFormats(ZXing::BarcodeFormat::Code128);
  return ZXing::ReadBarcode(
      ZXing::ImageView(grey.data(), image.Width, image.Height, ZXing::ImageFormat::Lum), hints);
}

std::string zxingDecode(const MonoBitmap& image) {
  const ZXing::Result result = zxingRead(image);
  if (!result.isValid()) return "<not decoded>";
  // The raw bytes, not text converted to UTF-8: character 128 must come back
  // as the one byte 0x80.
  return std::string(result.bytes().begin(), result.bytes().end());
}

std::string randomDigits(std::mt19937& random, int count) {
  std::uniform_int_distribution<int> digit(0, 9);
  std::string text;
  for (int i = 0; i < count; ++i) text += static_cast<char>('0' + digit(random));
  return text;
}

TBarcodeBmp mailerImage(const std::string& number, TbcRotate rotate, int scale, int height,
                        TBarCodeType type = TBarCodeType::bcCode128) {
  TBarcodeBmp bmp;
  bmp.SetScale(scale);
  bmp.SetHeight(height);
  bmp.SetInterpret(false);
  bmp.SetBarcodeType(type);
  bmp.SetBarcodeText(number);
  bmp.SetRotate(rotate);
  return bmp;
}

TEST(BarcodeOracle, ZintUsesCodeSetCForTheMailerNumber) {
  const ZintSymbol symbol = zintEncode(BARCODE_CODE128, "9214712345678900000015");
  EXPECT_EQ(symbol->width, 156);
  const Runs expectedStartC = {2, 1, 1, 2, 3, 2};
  const Runs runs = zintRuns(*symbol);
  EXPECT_EQ(Runs(runs.begin(), runs.begin() + 6), expectedStartC);
}

TEST(BarcodeOracle, MailerNumbersMatchZintAndDecodeWithZxing) {
  std::mt19937 random(20261209);
  int checked = 0;
  for (int i = 0; i < 150; ++i) {
    const std::string custId = randomDigits(random, 9);
    const std::string serial = randomDigits(random, 7);
    for (const char* kind : {"T", "F"}) {
      const std::string number = ComposeMailerNumber(custId, serial, kind);
      // As on the mailer: the T number turned, the F number upright.
      const bool turned = std::string(kind) == "T";
      const int scale = 1 + i % 3;
      const TBarcodeBmp bmp =
          mailerImage(number, turned ? TbcRotate::bcRotate180 : TbcRotate::bcNoRotate, scale, 24);
      const MonoBitmap& image = bmp.Bitmap();
      ASSERT_EQ(image.Width, 176 * scale);

      Runs runs = imageRuns(image, i % image.Height, scale);
      if (turned) std::reverse(runs.begin(), runs.end());
      EXPECT_EQ(runs, zintRuns(*zintEncode(BARCODE_CODE128, number))) << number;
      EXPECT_EQ(zxingDecode(image), number);
      ++checked;
    }
  }
  EXPECT_EQ(checked, 300);
}

// An Intelligent Mail package barcode is GS1-128: a scanner announces it with
// the symbology identifier "]C1" and delivers the same 22 digits. Plain Code
// 128 announces "]C0".
TEST(BarcodeOracle, Gs1SymbolsDecodeAsGs1128WithTheSameDigits) {
  std::mt19937 random(2023);
  for (int i = 0; i < 40; ++i) {
    const std::string number =
        ComposeMailerNumber(randomDigits(random, 9), randomDigits(random, 7), i % 2 ? "T" : "F");
    for (TBarCodeType type : {TBarCodeType::bcEAN128, TBarCodeType::bcCode128}) {
      const TBarcodeBmp bmp = mailerImage(number, TbcRotate::bcRotate180, 2, 24, type);
      const ZXing::Result result = zxingRead(bmp.Bitmap());
      ASSERT_TRUE(result.isValid()) << number;
      EXPECT_EQ(std::string(result.bytes().begin(), result.bytes().end()), number);
      EXPECT_EQ(result.symbologyIdentifier(), type == TBarCodeType::bcEAN128 ? "]C1" : "]C0");
      // Start C, FNC1, eleven pairs, check, stop: one symbol character more.
      EXPECT_EQ(bmp.Bitmap().Width, (type == TBarCodeType::bcEAN128 ? 187 : 176) * 2);
    }
  }
}

TEST(BarcodeOracle, EveryCodeSetCValueMatchesZint) {
  // Two texts of fifty pairs each hold every pair value 00 to 99 once.
  for (int first : {0, 50}) {
    std::string digits;
    for (int pair = first; pair < first + 50; ++pair) {
      digits += static_cast<char>('0' + pair / 10);
      digits += static_cast<char>('0' + pair % 10);
    }
    const TBarcodeBmp bmp = mailerImage(digits, TbcRotate::bcNoRotate, 1, 4);
    EXPECT_EQ(imageRuns(bmp.Bitmap(), 0, 1), zintRuns(*zintEncode(BARCODE_CODE128, digits)));
    EXPECT_EQ(zxingDecode(bmp.Bitmap()), digits);
  }
}

TEST(BarcodeOracle, OtherCode128TextsDecodeWithZxing) {
  // Texts that switch code sets; zxing reads them back whatever the sets.
  for (const std::string text :
       {"abc", "Kestrel 3", "ab1234cd", "a12345", "12345", "7", "X-1/2", "1234\tA"}) {
    for (TbcRotate rotate :
         {TbcRotate::bcNoRotate, TbcRotate::bcRotate180, TbcRotate::bcRotate90}) {
      const TBarcodeBmp bmp = mailerImage(text, rotate, 2, 30);
      EXPECT_EQ(zxingDecode(bmp.Bitmap()), text);
    }
  }
}

TEST(BarcodeOracle, CharacterOneHundredTwentyEightDecodesWithZxing) {
  for (const std::string text : {"\x80",
                                 "a\x80"
                                 "b",
                                 "12\x80"
                                 "3456"}) {
    EXPECT_EQ(zxingDecode(mailerImage(text, TbcRotate::bcNoRotate, 2, 20).Bitmap()), text);
  }
}

TEST(BarcodeOracle, RandomAsciiTextsDecodeWithZxing) {
  // Printable ASCII, tabs and runs of digits mixed, so that every code set
  // and switch between them is reached.
  std::mt19937 random(15417);
  std::uniform_int_distribution<int> length(1, 24);
  std::uniform_int_distribution<int> kind(0, 9);
  std::uniform_int_distribution<int> printable(32, 126);
  for (int i = 0; i < 200; ++i) {
    std::string text;
    for (int n = length(random); n > 0; --n) {
      const int k = kind(random);
      if (k < 4) {
        text += randomDigits(random, 1 + k);
      } else if (k == 4) {
        text += '\t';
      } else {
        text += static_cast<char>(printable(random));
      }
    }
    const TBarcodeBmp bmp = mailerImage(text, TbcRotate::bcNoRotate, 2, 20);
    EXPECT_EQ(zxingDecode(bmp.Bitmap()), text);
  }
}

// Full (true) and half bars of zint's POSTNET: its upper row marks the full
// bars, its lower row every bar.
std::vector<bool> zintPostnetBars(const std::string& digits) {
  const ZintSymbol symbol = zintEncode(BARCODE_POSTNET, digits);
  EXPECT_EQ(symbol->rows, 2);
  std::vector<bool> bars;
  for (int c = 0; c < symbol->width; ++c) {
    if (zintModule(*symbol, 1, c)) bars.push_back(zintModule(*symbol, 0, c));
  }
  return bars;
}

// Bars of our POSTNET image read left to right from the pixels: a bar is a
// black run on the bottom row; it is full when the top row is black there too.
std::vector<bool> imagePostnetBars(const MonoBitmap& image, int scale) {
  std::vector<bool> bars;
  for (int x = 0; x < image.Width; x += scale) {
    if (image.black(x, image.Height - 1)) bars.push_back(image.black(x, 0));
  }
  return bars;
}

TEST(BarcodeOracle, PostnetBarsMatchZint) {
  std::mt19937 random(94107);
  for (int i = 0; i < 200; ++i) {
    const std::string zip = randomDigits(random, 5);
    const std::string plus4 = randomDigits(random, 4);
    for (const std::string& text : {zip, zip + "-" + plus4}) {
      TBarcodeBmp bmp;
      bmp.SetScale(2);
      bmp.SetHeight(10);
      bmp.SetBarcodeType(TBarCodeType::bcPOSTNET);
      bmp.SetBarcodeText(text);
      const std::vector<bool> expected = zintPostnetBars(bmp.BarcodeText());
      ASSERT_EQ(expected.size(), text.size() == 5 ? 32u : 52u);
      EXPECT_EQ(imagePostnetBars(bmp.Bitmap(), 2), expected) << text;

      // Turned as on the mailer: the same bars right to left, hanging from the top.
      bmp.SetRotate(TbcRotate::bcRotate180);
      std::vector<bool> turned = imagePostnetBars(rotated(bmp.Bitmap(), TbcRotate::bcRotate180), 2);
      EXPECT_EQ(turned, expected) << text;
    }
  }
}

}  // namespace
}  // namespace kestrel
