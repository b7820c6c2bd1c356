#pragma once

#include <cstdint>
#include <vector>

#include "numbering/MonoBitmap.h"

namespace kestrel {

// Lays encoded symbols out on an unturned image. Every symbol has ten modules
// of white on either side; a symbol with nothing to encode is those twenty
// modules of white alone. One module is `scale` pixels wide.
inline constexpr int kQuietZoneModules = 10;

// The largest image the painter makes, in pixels (one byte each): far above
// any printer's need (a mailer number at 1200 dpi is 3168 x 900), far below
// what would exhaust memory.
inline constexpr std::int64_t kMaxBitmapPixels = std::int64_t{1} << 26;

// Code 128: each dark module a black rectangle the full image height.
// `modules` are the symbol's modules without quiet zones (1 = bar).
// Throws BarcodeError when the image would exceed kMaxBitmapPixels or scale
// or height is below 1.
MonoBitmap paintCode128(const std::vector<std::uint8_t>& modules, int scale, int height);

// POSTNET: each bar one module wide after one module of space, a full bar the
// whole height, a half bar the rows from height / 2 to the bottom.
// `bars` from postnetBars (true = full). Same limits as paintCode128.
MonoBitmap paintPostnet(const std::vector<bool>& bars, int scale, int height);

}  // namespace kestrel
