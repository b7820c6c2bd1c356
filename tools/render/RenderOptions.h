#pragma once

#include <QPointF>
#include <QString>
#include <QStringList>
#include <optional>
#include <string>

namespace kestrel::render {

// What one run of kestrel-render is asked to do.
struct RenderOptions {
  enum class Mode { Mailer, Labels };
  enum class Output { Pdf, Png };

  Mode mode = Mode::Mailer;
  // Mailer: the request file and the bar-code flag.
  QString requestFile;
  bool barcodes = false;
  QPointF offsetInches;  // physical offset of the printable area
  // Labels: count, customer ID, start serial and alignment offsets.
  int count = 0;
  std::string custId;
  std::string serial;
  int leftRight = 0;
  int topBottom = 0;

  Output output = Output::Pdf;
  QString outputPath;
  int dpi = 600;  // images only; PDF files are always drawn at 600
};

inline constexpr const char* kUsage =
    "Usage: kestrel-render --request FILE [--barcodes] (--pdf OUT | --png OUT [--dpi N])"
    " [--offset X,Y]\n"
    "  or:  kestrel-render --labels COUNT CUSTID SERIAL [--align LR,TB]"
    " (--pdf OUT | --png OUT [--dpi N])\n";

// Limits that keep a page image within memory and a label run finite.
inline constexpr int kMinDpi = 50;
inline constexpr int kMaxDpi = 1200;
inline constexpr int kMaxLabels = 100000;
// The label dialog's masks: a nine-digit customer ID and a serial of up to
// seven digits; anything else would print numbers nobody asked for.
inline constexpr int kCustIdDigits = 9;
inline constexpr int kSerialDigits = 7;

// Reads the arguments (without the program name). On bad arguments returns
// nothing and puts the reason in `error`.
std::optional<RenderOptions> parseRenderOptions(const QStringList& arguments, QString& error);

}  // namespace kestrel::render
