#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "numbering/Barcode.h"
#include "numbering/BarcodeError.h"
#include "numbering/BarcodePainter.h"
#include "numbering/BarcodeSizes.h"
#include "numbering/Code128.h"
#include "numbering/MailerNumber.h"

namespace kestrel {
namespace {

const std::string kTNumber = "9214712345678900000015";

TBarcodeBmp code128(const std::string& text, int scale, int height) {
  TBarcodeBmp bmp;
  bmp.SetScale(scale);
  bmp.SetHeight(height);
  bmp.SetInterpret(false);
  bmp.SetBarcodeType(TBarCodeType::bcCode128);
  bmp.SetBarcodeText(text);
  return bmp;
}

TBarcodeBmp postnet(const std::string& text, int scale, int height) {
  TBarcodeBmp bmp;
  bmp.SetScale(scale);
  bmp.SetHeight(height);
  bmp.SetBarcodeType(TBarCodeType::bcPOSTNET);
  bmp.SetBarcodeText(text);
  return bmp;
}

bool columnIs(const MonoBitmap& image, int x, int top, int bottom, bool black) {
  for (int y = top; y < bottom; ++y) {
    if (image.black(x, y) != black) return false;
  }
  return true;
}

TEST(BarcodeSizes, ModuleWidthsAndHeightsAtThreeResolutions) {
  struct Case {
    int dpi, code128Scale, tall, shortHeight, printedWidth, postnetScale, postnetHeight;
  };
  // 15/1000 and 23/1000 inch modules; 0.75, 0.4, 0.14 inch heights; 2.5 inch
  // stretch. 300 dpi: 4.5 rounds to the even 4.
  const Case cases[] = {
      {300, 4, 225, 120, 750, 7, 42},
      {600, 9, 450, 240, 1500, 14, 84},
      {1200, 18, 900, 480, 3000, 28, 168},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(code128Scale(c.dpi), c.code128Scale) << c.dpi;
    EXPECT_EQ(code128TallHeight(c.dpi), c.tall) << c.dpi;
    EXPECT_EQ(code128ShortHeight(c.dpi), c.shortHeight) << c.dpi;
    EXPECT_EQ(code128PrintedWidth(c.dpi), c.printedWidth) << c.dpi;
    EXPECT_EQ(postnetScale(c.dpi), c.postnetScale) << c.dpi;
    EXPECT_EQ(postnetHeight(c.dpi), c.postnetHeight) << c.dpi;

    // 176 modules for a mailer number; 83 and 123 for ZIP and ZIP+4.
    const MonoBitmap tall = code128(kTNumber, c.code128Scale, c.tall).Bitmap();
    EXPECT_EQ(tall.Width, 176 * c.code128Scale);
    EXPECT_EQ(tall.Height, c.tall);
    EXPECT_EQ(postnet("12345", c.postnetScale, c.postnetHeight).Bitmap().Width,
              83 * c.postnetScale);
    EXPECT_EQ(postnet("12345-6789", c.postnetScale, c.postnetHeight).Bitmap().Width,
              123 * c.postnetScale);
  }
  EXPECT_EQ(roundHalfEven(5, 2), 2);
  EXPECT_EQ(roundHalfEven(7, 2), 4);
  EXPECT_EQ(roundHalfEven(26, 10), 3);
}

TEST(TBarcodeBmp, Code128ModulesAreFullHeightColumnsAfterTheQuietZone) {
  const int scale = 3;
  const MonoBitmap image = code128(kTNumber, scale, 7).Bitmap();
  const std::vector<std::uint8_t> modules = code128Modules(code128Symbols(kTNumber));
  for (int x = 0; x < image.Width; ++x) {
    const int module = x / scale - kQuietZoneModules;
    const bool bar = module >= 0 && module < static_cast<int>(modules.size()) && modules[module];
    ASSERT_TRUE(columnIs(image, x, 0, image.Height, bar)) << "column " << x;
  }
}

TEST(TBarcodeBmp, PostnetBarsStandOnTheBottomRow) {
  const int height = 9;  // half bars cover rows 4 to 8
  const MonoBitmap image = postnet("1", 2, height).Bitmap();
  // Frame, 1 = 00011, check 9 = 10100, frame: 12 bars, modules 10, 12, ... 32.
  const std::string bars =
      "1"
      "00011"
      "10100"
      "1";
  EXPECT_EQ(image.Width, (23 + 10 * 2) * 2);
  for (int x = 0; x < image.Width; ++x) {
    const int module = x / 2 - kQuietZoneModules;
    const int bar = module / 2;
    if (module < 0 || module % 2 == 1 || bar >= static_cast<int>(bars.size())) {
      ASSERT_TRUE(columnIs(image, x, 0, height, false)) << "space column " << x;
    } else if (bars[bar] == '1') {
      ASSERT_TRUE(columnIs(image, x, 0, height, true)) << "full bar column " << x;
    } else {
      ASSERT_TRUE(columnIs(image, x, 0, 4, false)) << "half bar column " << x;
      ASSERT_TRUE(columnIs(image, x, 4, height, true)) << "half bar column " << x;
    }
  }
}

TEST(TBarcodeBmp, RotationTurnsTheFinishedImage) {
  TBarcodeBmp bmp = postnet("12345", 2, 11);
  const MonoBitmap upright = bmp.Bitmap();
  bmp.SetRotate(TbcRotate::bcRotate180);
  const MonoBitmap turned = bmp.Bitmap();
  ASSERT_EQ(turned.Width, upright.Width);
  ASSERT_EQ(turned.Height, upright.Height);
  for (int j = 0; j < turned.Height; ++j) {
    for (int i = 0; i < turned.Width; ++i) {
      ASSERT_EQ(turned.black(i, j), upright.black(upright.Width - 1 - i, upright.Height - 1 - j));
    }
  }
  // On the turned image the half bars hang from the top row.
  EXPECT_TRUE(turned.black(turned.Width - 1 - 10 * 2 - 2 * 2, 0));
  EXPECT_FALSE(turned.black(turned.Width - 1 - 10 * 2 - 2 * 2, turned.Height - 1));

  // Changing Height after Rotate keeps the rotation.
  bmp.SetHeight(12);
  EXPECT_EQ(bmp.Rotate(), TbcRotate::bcRotate180);
  EXPECT_EQ(bmp.Bitmap(), rotated(postnet("12345", 2, 12).Bitmap(), TbcRotate::bcRotate180));

  // Quarter turns: two of them are the half turn, 90 then 270 is none.
  bmp.SetRotate(TbcRotate::bcRotate90);
  const MonoBitmap quarter = bmp.Bitmap();
  EXPECT_EQ(quarter.Width, 12);
  EXPECT_EQ(quarter.Height, upright.Width);
  const MonoBitmap unturned = postnet("12345", 2, 12).Bitmap();
  EXPECT_EQ(rotated(quarter, TbcRotate::bcRotate90), rotated(unturned, TbcRotate::bcRotate180));
  EXPECT_EQ(rotated(quarter, TbcRotate::bcRotate270), unturned);
  // Clockwise: the left quiet zone becomes the top rows.
  EXPECT_FALSE(quarter.black(11, 19));
  EXPECT_TRUE(quarter.black(11, 20));
}

TEST(TBarcodeBmp, TextFilters) {
  TBarcodeBmp bmp;
  EXPECT_EQ(bmp.BarcodeType(), TBarCodeType::bcCode128);
  bmp.SetBarcodeText(
      std::string("A\0B\x80\x81\xFF"
                  "C",
                  7));
  EXPECT_EQ(bmp.BarcodeText(),
            "AB\x80"
            "C");

  bmp.SetBarcodeType(TBarCodeType::bcPOSTNET);  // filters the current text again
  EXPECT_EQ(bmp.BarcodeText(), "");
  bmp.SetBarcodeText("12345-6789");
  EXPECT_EQ(bmp.BarcodeText(), "123456789");
  EXPECT_EQ(bmp.Bitmap().Width, 123);
  bmp.SetBarcodeText("ZIP 1234567890123456");
  EXPECT_EQ(bmp.BarcodeText(), "12345678901");
}

TEST(TBarcodeBmp, EmptyTextOrOtherTypeIsTwentyWhiteModules) {
  for (TBarCodeType type : {TBarCodeType::bcCode128, TBarCodeType::bcPOSTNET,
                            TBarCodeType::bcCode39, TBarCodeType::bcEAN13}) {
    TBarcodeBmp bmp;
    bmp.SetScale(7);
    bmp.SetHeight(42);
    bmp.SetBarcodeType(type);
    bmp.SetBarcodeText(type == TBarCodeType::bcPOSTNET ? "-" : "");
    bmp.SetRotate(TbcRotate::bcRotate180);
    if (type == TBarCodeType::bcCode39) bmp.SetBarcodeText("ABC");
    const MonoBitmap& image = bmp.Bitmap();
    EXPECT_EQ(image.Width, 140);
    EXPECT_EQ(image.Height, 42);
    EXPECT_EQ(image.Pixels, std::vector<std::uint8_t>(140 * 42, 0));
  }
  // The default object: Code 128, no text, Scale 1, Height 50.
  EXPECT_EQ(TBarcodeBmp().Bitmap().Width, 20);
  EXPECT_EQ(TBarcodeBmp().Bitmap().Height, 50);
}

TEST(TBarcodeBmp, BadSizesAndLongTextsGiveSoundImagesOrAClearError) {
  TBarcodeBmp bmp = code128(kTNumber, 0, -5);
  EXPECT_EQ(bmp.Scale(), 1);
  EXPECT_EQ(bmp.Height(), 1);
  EXPECT_EQ(bmp.Bitmap().Width, 176);
  EXPECT_EQ(bmp.Bitmap().Height, 1);

  // An image beyond the limit is refused and the object stays as it was.
  bmp.SetHeight(1000);
  EXPECT_THROW(bmp.SetScale(1000), BarcodeError);
  EXPECT_EQ(bmp.Scale(), 1);
  EXPECT_EQ(bmp.Bitmap().Width, 176);
  EXPECT_THROW(bmp.SetScale(2147483647), BarcodeError);
  EXPECT_THROW(bmp.SetHeight(2147483647), BarcodeError);
  EXPECT_EQ(bmp.Height(), 1000);

  EXPECT_THROW(paintCode128({1, 0, 1}, 1, 0), BarcodeError);
  EXPECT_THROW(paintPostnet({true}, -1, 5), BarcodeError);

  // The longest text still encodes; one more character is refused.
  bmp.SetHeight(1);
  const std::string longest(TBarcodeBmp::kMaxCode128Text, 'x');
  bmp.SetBarcodeText(longest);
  EXPECT_EQ(bmp.Bitmap().Width, 22 + 11 * (1000 + 3));
  EXPECT_THROW(bmp.SetBarcodeText(longest + "x"), BarcodeError);
  EXPECT_EQ(bmp.BarcodeText(), longest);
}

TEST(MonoBitmap, PixelsOutsideAreWhiteAndFillsClip) {
  MonoBitmap image = MonoBitmap::white(4, 3);
  image.fillRect(-2, 1, 10, 10);
  image.setBlack(9, 9);
  EXPECT_FALSE(image.black(-1, 1));
  EXPECT_FALSE(image.black(4, 1));
  EXPECT_FALSE(image.black(0, 0));
  EXPECT_TRUE(image.black(0, 1));
  EXPECT_TRUE(image.black(3, 2));
  EXPECT_EQ(std::count(image.Pixels.begin(), image.Pixels.end(), 1), 8);
}

}  // namespace
}  // namespace kestrel
