#pragma once

namespace kestrel {

// The symbologies the bar-code unit names. bcCode128, bcEAN128 (GS1-128: Code
// 128 with FNC1 after the start character, as on an Intelligent Mail package
// barcode) and bcPOSTNET are built; an image of any other type is the empty
// white image.
enum class TBarCodeType {
  bcCode39,
  bcCode39Ext,
  bcCode128,
  bcUPCA,
  bcInt2of5,
  bcCode93,
  bcEAN13,
  bcEAN8,
  bcEAN128,
  bcUPCE,
  bcUPC2ext,
  bcUPC5ext,
  bcPOSTNET,
};

// Turn of the finished image. bcRotate90 is a quarter turn clockwise (the
// left edge of the unturned image becomes its top), bcRotate270 a quarter
// turn counter-clockwise.
enum class TbcRotate { bcNoRotate, bcRotate90, bcRotate180, bcRotate270 };

}  // namespace kestrel
