#pragma once

namespace kestrel {

// Makes the faces the mailer asks for resolve on this machine: "OCR A
// Extended" is drawn with the OCR-A font "OCRA"; "Arial" already resolves to
// its metric twin Liberation Sans through fontconfig. Safe to call often.
void registerPrintFonts();

// The face the mailer's numbers and addresses are printed in.
inline constexpr const char* kOcrFace = "OCR A Extended";

}  // namespace kestrel
