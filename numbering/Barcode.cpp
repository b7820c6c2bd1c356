#include "numbering/Barcode.h"

#include <algorithm>
#include <utility>

#include "numbering/BarcodeError.h"
#include "numbering/BarcodePainter.h"
#include "numbering/Code128.h"
#include "numbering/Postnet.h"

namespace kestrel {

namespace {

// ZIP, ZIP+4 and delivery point: at most 11 digits.
constexpr std::size_t kMaxPostnetDigits = 11;

std::string filtered(const std::string& text, TBarCodeType type) {
  std::string kept;
  switch (type) {
    case TBarCodeType::bcCode128:
    case TBarCodeType::bcEAN128:
      for (char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (code != 0 && code <= 128) kept += c;
      }
      return kept;
    case TBarCodeType::bcPOSTNET:
      for (char c : text) {
        if (c >= '0' && c <= '9' && kept.size() < kMaxPostnetDigits) kept += c;
      }
      return kept;
    default:
      return text;
  }
}

}  // namespace

TBarcodeBmp::TBarcodeBmp() : m_bitmap(render(m_props)) {}

void TBarcodeBmp::SetBarcodeType(TBarCodeType type) {
  Properties next = m_props;
  next.type = type;
  next.text = filtered(next.text, type);
  apply(std::move(next));
}

void TBarcodeBmp::SetBarcodeText(const std::string& text) {
  Properties next = m_props;
  next.text = filtered(text, next.type);
  apply(std::move(next));
}

void TBarcodeBmp::SetScale(int scale) {
  Properties next = m_props;
  next.scale = std::max(scale, 1);
  apply(std::move(next));
}

void TBarcodeBmp::SetHeight(int height) {
  Properties next = m_props;
  next.height = std::max(height, 1);
  apply(std::move(next));
}

void TBarcodeBmp::SetRotate(TbcRotate rotate) {
  Properties next = m_props;
  next.rotate = rotate;
  apply(std::move(next));
}

void TBarcodeBmp::SetInterpret(bool interpret) {
  Properties next = m_props;
  next.interpret = interpret;
  apply(std::move(next));
}

void TBarcodeBmp::apply(Properties next) {
  MonoBitmap image = render(next);
  m_props = std::move(next);
  m_bitmap = std::move(image);
}

MonoBitmap TBarcodeBmp::render(const Properties& props) {
  MonoBitmap image;
  switch (props.type) {
    case TBarCodeType::bcCode128:
    case TBarCodeType::bcEAN128: {
      if (props.text.size() > kMaxCode128Text) {
        throw BarcodeError("Bar code text too long: " + std::to_string(props.text.size()) +
                           " characters (at most " + std::to_string(kMaxCode128Text) + ")");
      }
      const bool gs1 = props.type == TBarCodeType::bcEAN128;
      image =
          paintCode128(code128Modules(code128Symbols(props.text, gs1)), props.scale, props.height);
      break;
    }
    case TBarCodeType::bcPOSTNET:
      image = paintPostnet(postnetBars(props.text), props.scale, props.height);
      break;
    default:
      image = paintCode128({}, props.scale, props.height);
      break;
  }
  return rotated(std::move(image), props.rotate);
}

}  // namespace kestrel
