#pragma once

namespace kestrel {

// Module widths and image heights of the mailer's bar codes for a printer of
// `lpx` x `lpy` pixels per inch. Rounding is to the nearest pixel, halves to
// even, computed on integers so that 300 dpi gives exactly 4.5 -> 4.

// round(n / d), halves to even. Requires: d > 0, n >= 0.
int roundHalfEven(long long numerator, long long denominator);

// A Code 128 module is 15 thousandths of an inch before the image is
// stretched to 2.5 inches: 4, 9 and 18 pixels at 300, 600 and 1200 dpi.
int code128Scale(int lpx);
// The tall images are 0.75 inch high, the short ones 0.4 inch.
int code128TallHeight(int lpy);
int code128ShortHeight(int lpy);
// The width the Code 128 images are stretched to: 2.5 inches.
int code128PrintedWidth(int lpx);

// A POSTNET bar is 23 thousandths of an inch (7, 14 and 28 pixels), the
// image 0.14 inch high.
int postnetScale(int lpx);
int postnetHeight(int lpy);

}  // namespace kestrel
