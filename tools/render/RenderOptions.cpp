#include "RenderOptions.h"

#include <cmath>

#include "platform/AnsiText.h"

namespace kestrel::render {

namespace {
// Reads "A,B" as two numbers of the kind `read` makes.
template <typename Read>
bool readPair(const QString& text, Read read) {
  const QStringList parts = text.split(QLatin1Char(','));
  return parts.size() == 2 && read(parts[0].trimmed(), 0) && read(parts[1].trimmed(), 1);
}

// Only the digits 0-9, between `least` and `most` of them: what the label
// dialog's masked fields let through.
bool isDigits(const QString& text, int least, int most) {
  if (text.size() < least || text.size() > most) return false;
  for (const QChar c : text)
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
  return true;
}

bool readInt(const QString& text, int low, int high, int& value) {
  bool ok = false;
  const int read = text.toInt(&ok);
  if (!ok || read < low || read > high) return false;
  value = read;
  return true;
}
}  // namespace

std::optional<RenderOptions> parseRenderOptions(const QStringList& arguments, QString& error) {
  RenderOptions options;
  bool haveRequest = false, haveLabels = false, haveOutput = false;
  bool haveDpi = false, haveOffset = false, haveAlign = false;
  const auto fail = [&error](const QString& reason) {
    error = reason;
    return std::nullopt;
  };
  const int argc = static_cast<int>(arguments.size());
  for (int i = 0; i < argc; ++i) {
    const QString& argument = arguments[i];
    // How many values the option needs; all must be present.
    const auto values = [&](int needed) { return i + needed < argc; };
    if (argument == "--request") {
      if (haveRequest || !values(1)) return fail("--request needs one FILE");
      options.requestFile = arguments[++i];
      haveRequest = true;
    } else if (argument == "--barcodes") {
      options.barcodes = true;
    } else if (argument == "--labels") {
      if (haveLabels || !values(3)) return fail("--labels needs COUNT CUSTID SERIAL");
      if (!readInt(arguments[i + 1], 1, kMaxLabels, options.count))
        return fail(QStringLiteral("COUNT must be a whole number from 1 to %1").arg(kMaxLabels));
      if (!isDigits(arguments[i + 2], kCustIdDigits, kCustIdDigits))
        return fail(QStringLiteral("CUSTID must be %1 digits").arg(kCustIdDigits));
      if (!isDigits(arguments[i + 3], 1, kSerialDigits))
        return fail(QStringLiteral("SERIAL must be 1 to %1 digits").arg(kSerialDigits));
      options.custId = toAnsi(arguments[i + 2]);
      options.serial = toAnsi(arguments[i + 3]);
      i += 3;
      haveLabels = true;
    } else if (argument == "--pdf" || argument == "--png") {
      if (haveOutput || !values(1)) return fail("give one output: --pdf OUT or --png OUT");
      options.output =
          argument == "--pdf" ? RenderOptions::Output::Pdf : RenderOptions::Output::Png;
      options.outputPath = arguments[++i];
      haveOutput = true;
    } else if (argument == "--dpi") {
      if (haveDpi || !values(1) || !readInt(arguments[++i], kMinDpi, kMaxDpi, options.dpi))
        return fail(
            QStringLiteral("--dpi needs a whole number from %1 to %2").arg(kMinDpi).arg(kMaxDpi));
      haveDpi = true;
    } else if (argument == "--offset") {
      double xy[2] = {0, 0};
      const bool read = values(1) && readPair(arguments[i + 1], [&xy](const QString& part, int k) {
                          bool ok = false;
                          xy[k] = part.toDouble(&ok);
                          // Less than an inch: a printer's margin, not a layout change.
                          return ok && std::isfinite(xy[k]) && xy[k] >= 0 && xy[k] < 1;
                        });
      if (haveOffset || !read)
        return fail("--offset needs X,Y in inches, each at least 0 and below 1");
      options.offsetInches = QPointF(xy[0], xy[1]);
      ++i;
      haveOffset = true;
    } else if (argument == "--align") {
      const bool read =
          values(1) && readPair(arguments[i + 1], [&options](const QString& part, int k) {
            return readInt(part, -999, 999, k == 0 ? options.leftRight : options.topBottom);
          });
      if (haveAlign || !read) return fail("--align needs LR,TB, whole numbers from -999 to 999");
      ++i;
      haveAlign = true;
    } else {
      return fail(QStringLiteral("unknown argument \"%1\"").arg(argument));
    }
  }
  if (haveRequest == haveLabels)
    return fail("give either --request FILE or --labels COUNT CUSTID SERIAL");
  if (!haveOutput) return fail("give one output: --pdf OUT or --png OUT");
  if (haveDpi && options.output != RenderOptions::Output::Png) return fail("--dpi goes with --png");
  if (haveRequest && haveAlign)
    return fail("--align goes with --labels; a request carries its own");
  if (haveLabels && (haveOffset || options.barcodes))
    return fail("--offset and --barcodes go with --request");
  options.mode = haveLabels ? RenderOptions::Mode::Labels : RenderOptions::Mode::Mailer;
  return options;
}

}  // namespace kestrel::render
