#include "numbering/BarcodeSizes.h"

namespace kestrel {

int roundHalfEven(long long numerator, long long denominator) {
  const long long quotient = numerator / denominator;
  const long long twiceRest = 2 * (numerator % denominator);
  const bool up = twiceRest > denominator || (twiceRest == denominator && quotient % 2 == 1);
  return static_cast<int>(up ? quotient + 1 : quotient);
}

int code128Scale(int lpx) {
  return roundHalfEven(15LL * lpx, 1000);
}
int code128TallHeight(int lpy) {
  return roundHalfEven(75LL * lpy, 100);
}
int code128ShortHeight(int lpy) {
  return roundHalfEven(40LL * lpy, 100);
}
int code128PrintedWidth(int lpx) {
  return roundHalfEven(25LL * lpx, 10);
}
int postnetScale(int lpx) {
  return roundHalfEven(23LL * lpx, 1000);
}
int postnetHeight(int lpy) {
  return roundHalfEven(14LL * lpy, 100);
}

}  // namespace kestrel
