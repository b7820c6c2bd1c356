#include "print/PrintFonts.h"

#include <QFont>
#include <QFontMetricsF>
#include <QRawFont>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace kestrel {

namespace {
// Large enough that hinting does not blur the measured advance.
constexpr int kMeasuringPixels = 1000;

QFont ocrFont() {
  registerPrintFonts();
  QFont font(QString::fromLatin1(kOcrFace));
  font.setPixelSize(kMeasuringPixels);
  font.setKerning(false);
  return font;
}
}  // namespace

void registerPrintFonts() {
  if (!QFont::substitutes(kOcrFace).contains(QStringLiteral("OCRA")))
    QFont::insertSubstitution(kOcrFace, QStringLiteral("OCRA"));
}

int ocrStretchPercent() {
  static const int stretch = [] {
    const qreal advance = QFontMetricsF(ocrFont()).horizontalAdvance(QLatin1Char('0'));
    if (advance <= 0) return 100;
    const int percent = static_cast<int>(
        std::lround(100.0 * kOcrAdvancePerMille * kMeasuringPixels / (1000.0 * advance)));
    // Only ever narrowed, and never beyond recognition.
    return std::clamp(percent, 50, 100);
  }();
  return stretch;
}

QString ocrDrawableText(const QString& text) {
  // The OCR face's own glyphs only: Qt's metrics would also count the
  // fallback faces it draws missing glyphs from.
  static const QRawFont face = QRawFont::fromFont(ocrFont());
  // A line the layout put in capitals stays in capitals.
  const bool capitalsLine =
      std::none_of(text.begin(), text.end(), [](QChar c) { return c >= 'a' && c <= 'z'; });
  const auto shown = [capitalsLine](const QString& letters) {
    return capitalsLine ? letters.toUpper() : letters;
  };
  QString result;
  result.reserve(text.size());
  for (const QChar c : text) {
    if (face.supportsCharacter(c)) {
      result += c;
    } else if (c == QChar(0x00DF)) {  // sharp s has no capital in OCR-A either
      result += shown(QStringLiteral("ss"));
    } else {
      const QChar base = QString(c).normalized(QString::NormalizationForm_D).at(0);
      result += base != c && face.supportsCharacter(base) ? shown(QString(base)) : QString(c);
    }
  }
  return result;
}

}  // namespace kestrel
