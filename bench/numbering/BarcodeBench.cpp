// What one mailer's bar-code images cost: the form printer builds the tall T
// and F images, rebuilds both at the short height, and one or two POSTNET
// images. Mass printing does this once per record.
#include <benchmark/benchmark.h>

#include "numbering/Barcode.h"
#include "numbering/BarcodeSizes.h"
#include "numbering/MailerNumber.h"

namespace kestrel {
namespace {

void mailerImages(benchmark::State& state) {
  const int dpi = static_cast<int>(state.range(0));
  const std::string t = ComposeMailerNumber("123456789", "0000041", "T");
  const std::string f = ComposeMailerNumber("123456789", "0000041", "F");
  for (auto _ : state) {
    for (const std::string& number : {t, f}) {
      TBarcodeBmp image;
      image.SetScale(code128Scale(dpi));
      image.SetHeight(code128TallHeight(dpi));
      image.SetInterpret(false);
      image.SetBarcodeType(TBarCodeType::bcCode128);
      image.SetBarcodeText(number);
      image.SetRotate(number == t ? TbcRotate::bcRotate180 : TbcRotate::bcNoRotate);
      benchmark::DoNotOptimize(image.Bitmap().Pixels.data());
      image.SetHeight(code128ShortHeight(dpi));
      benchmark::DoNotOptimize(image.Bitmap().Pixels.data());
    }
    TBarcodeBmp zip;
    zip.SetScale(postnetScale(dpi));
    zip.SetHeight(postnetHeight(dpi));
    zip.SetBarcodeType(TBarCodeType::bcPOSTNET);
    zip.SetBarcodeText("12345-6789");
    zip.SetRotate(TbcRotate::bcRotate180);
    benchmark::DoNotOptimize(zip.Bitmap().Pixels.data());
  }
}
BENCHMARK(mailerImages)->Arg(300)->Arg(600)->Arg(1200)->Unit(benchmark::kMillisecond);

void composeAndGroup(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(GroupMailerNumber(ComposeMailerNumber("123456789", "0000041", "T")));
  }
}
BENCHMARK(composeAndGroup);

}  // namespace
}  // namespace kestrel
