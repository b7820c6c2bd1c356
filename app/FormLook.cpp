#include "app/FormLook.h"

#include <QGroupBox>

#include "print/PrintFonts.h"

namespace kestrel::formLook {

namespace {
constexpr const char* kFormFace = "MS Sans Serif";
constexpr int kFormPoints = 8;
constexpr int kLargePoints = 12;
}  // namespace

QColor windowColour() {
  return {192, 220, 192};
}
QColor captionColour() {
  return {0, 128, 0};
}

QFont formFont() {
  return QFont(QString::fromLatin1(kFormFace), kFormPoints);
}

QFont boldFont() {
  QFont f = formFont();
  f.setBold(true);
  return f;
}

QFont largeBoldFont() {
  QFont f = boldFont();
  f.setPointSize(kLargePoints);
  return f;
}

QFont labelFont() {
  return boldFont();
}

QPalette windowPalette(QPalette base) {
  base.setColor(QPalette::Window, windowColour());
  return base;
}

QPalette labelPalette(QPalette base) {
  // Not the disabled group: a disabled caption keeps the greyed text of the
  // style, so that it looks as unavailable as the field beside it.
  for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
    base.setColor(group, QPalette::WindowText, captionColour());
  return base;
}

QPalette fieldPalette(QPalette base) {
  base.setColor(QPalette::Base, editedFieldColour());
  base.setColor(QPalette::Text, Qt::black);
  return base;
}

QColor editedFieldColour() {
  return {255, 255, 255};
}

QColor printedFieldColour() {
  return {192, 192, 192};
}

QPalette linePalette(QPalette base) {
  base.setColor(QPalette::Window, Qt::red);
  return base;
}

void styleGroupCaption(QGroupBox* group) {
  group->setFont(boldFont());
  group->setPalette(labelPalette(group->palette()));
}

void registerFontSubstitutions() {
  QFont::insertSubstitutions(QString::fromLatin1(kFormFace),
                             {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
  registerPrintFonts();
}

}  // namespace kestrel::formLook
