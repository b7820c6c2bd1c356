#pragma once

#include <cstddef>
#include <string>

#include "numbering/BarcodeTypes.h"
#include "numbering/MonoBitmap.h"

namespace kestrel {

// One bar-code image (Code 128 or POSTNET) made from its properties. Every
// property change rebuilds Bitmap from all current properties, so the image
// always matches them; the turn is applied last, so changing Height after
// Rotate keeps the rotation.
//
// Bad input never gives a broken image:
// - BarcodeText is filtered for the type in force when it is set, and again
//   when the type changes: Code 128 and GS1-128 drop the character 0 and every character
//   above 128; POSTNET keeps the digits 0-9 and cuts them to the first 11.
// - Scale and Height below 1 count as 1 (and read back as 1).
// - An empty text, and any type other than bcCode128, bcEAN128 and
//   bcPOSTNET, gives a white image 20 modules wide.
// - A Code 128 text longer than kMaxCode128Text, or an image beyond
//   kMaxBitmapPixels, is refused with BarcodeError; the object then keeps
//   its previous properties and image.
//
// Interpret is kept as a property but never draws: the human-readable line
// of a mailer number is printed by the form printer in its own font, and
// POSTNET has none.
class TBarcodeBmp {
 public:
  static constexpr std::size_t kMaxCode128Text = 1000;

  TBarcodeBmp();

  void SetBarcodeType(TBarCodeType type);
  TBarCodeType BarcodeType() const { return m_props.type; }

  void SetBarcodeText(const std::string& text);
  const std::string& BarcodeText() const { return m_props.text; }

  // Module width in image pixels.
  void SetScale(int scale);
  int Scale() const { return m_props.scale; }

  // Image height in pixels (before a quarter turn, the height of the bars).
  void SetHeight(int height);
  int Height() const { return m_props.height; }

  void SetRotate(TbcRotate rotate);
  TbcRotate Rotate() const { return m_props.rotate; }

  void SetInterpret(bool interpret);
  bool Interpret() const { return m_props.interpret; }

  const MonoBitmap& Bitmap() const { return m_bitmap; }

 private:
  struct Properties {
    TBarCodeType type = TBarCodeType::bcCode128;
    std::string text;
    int scale = 1;
    int height = 50;
    TbcRotate rotate = TbcRotate::bcNoRotate;
    bool interpret = true;
  };

  // Builds the image for `next` and only then takes both over, so that a
  // refused change leaves the object as it was.
  void apply(Properties next);
  static MonoBitmap render(const Properties& props);

  Properties m_props;
  MonoBitmap m_bitmap;
};

}  // namespace kestrel
