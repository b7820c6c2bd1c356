#pragma once

#include <QFont>
#include <QPalette>

class QGroupBox;

namespace kestrel::formLook {

// The look the program's forms were designed with: "MS Sans Serif" 8 point
// (substituted by a close sans font, see registerFontSubstitutions), a light
// green window, bold green labels and group captions.

QColor windowColour();   // red 192, green 220, blue 192
QColor captionColour();  // the green of labels and group captions

QFont formFont();
QFont boldFont();
// The large bold face of the main command button.
QFont largeBoldFont();
QFont labelFont();

QPalette windowPalette(QPalette base);
QPalette labelPalette(QPalette base);
// Entry fields: black text on white.
QPalette fieldPalette(QPalette base);
// The two looks of the entry fields: white while the mailer is being edited,
// silver once it has been printed.
QColor editedFieldColour();   // red, green, blue 255
QColor printedFieldColour();  // red, green, blue 192
// The red separating line above the total.
QPalette linePalette(QPalette base);

// Bold green caption; the group's children keep the fonts they set themselves.
void styleGroupCaption(QGroupBox* group);

// Maps the design-time face names onto fonts that Linux has: "MS Sans Serif"
// onto Liberation Sans (DejaVu Sans when that is missing) and "OCR A Extended"
// onto OCR-A ("OCRA"). Process-wide; call once before the first window.
void registerFontSubstitutions();

}  // namespace kestrel::formLook
