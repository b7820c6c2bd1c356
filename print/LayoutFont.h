#pragma once

#include "print/MailerLayout.h"

namespace kestrel {

// The five fonts of the mailer layout.
enum class LayoutFont { Ocr11, Ocr10, Ocr8, Base6, Base8Bold };

// Selects the layout font at the angle (degrees counter-clockwise) as the
// page's current font.
void selectLayoutFont(const LayoutPage& page, LayoutFont font, int angle);

}  // namespace kestrel
