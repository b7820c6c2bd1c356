#pragma once

#include <QString>

namespace kestrel {

// Makes the faces the mailer asks for resolve on this machine: "OCR A
// Extended" is drawn with the OCR-A font "OCRA"; "Arial" already resolves to
// its metric twin Liberation Sans through fontconfig. Safe to call often.
void registerPrintFonts();

// The face the mailer's numbers and addresses are printed in.
inline constexpr const char* kOcrFace = "OCR A Extended";

// OCR-A's standard pitch: ten characters per inch at 12 points, an advance of
// 0.6 em. The layout's positions leave room for no more: the 27 characters
// of a number at 11 points must end before the next column begins.
inline constexpr int kOcrAdvancePerMille = 600;

// How far (percent) the installed OCR face is stretched sideways to advance
// at the standard pitch. Debian's OCRA advances 0.715 em, which makes 84;
// a face that already has the pitch gets 100. Measured once.
int ocrStretchPercent();

// The text as the OCR face can draw it: a letter the face lacks (É, é, Ü, ß
// and most other accented letters) is drawn as the same letter without its
// accent ("ß" as "ss"), in capitals on a line without small letters a-z (the
// upper-cased address lines), so that every glyph of an OCR line is an OCR-A
// glyph at the OCR-A pitch rather than one of an unrelated fallback face.
// Characters the face has stay as they are, and so does anything the face
// cannot stand in for (it comes from the system's fallback face).
QString ocrDrawableText(const QString& text);

}  // namespace kestrel
