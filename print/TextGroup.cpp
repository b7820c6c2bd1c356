#include <vector>

#include "platform/AnsiText.h"
#include "print/LayoutFont.h"
#include "print/MailerLayout.h"

namespace kestrel {

namespace {
enum class Source {
  Sender,      // sender line `line` (slots 0-4)
  Recipient,   // recipient line `line` (slots 6-10)
  ExtraLabel,  // line `line` of whichever address the extra label shows
  Re,          // "RE: " and the Re slot
  Comment,
  Fee,    // the fee in slot `line`, trimmed
  Total,  // "$ " and the trimmed total
  Caption,
};

enum class Form {
  UpperCase,  // letters a-z made capitals, nothing else changed
  AsTyped,
  RightAligned,  // begins at x on the sheet: ends on one line in the upright view
};

struct TextItem {
  LayoutFont font;
  int angle;
  Source source;
  int line;  // line 0-4 of a block, or the request slot of a fee
  Form form;
  double x, y;  // inches
  const char* caption = nullptr;
};

using F = LayoutFont;
using S = Source;
constexpr Form kUpper = Form::UpperCase;
constexpr Form kTyped = Form::AsTyped;
constexpr Form kRight = Form::RightAligned;

// Every text of the mailer, in the order it is drawn.
const std::vector<TextItem> kTextItems{
    // The sender's lines, first copy.
    {F::Ocr10, 180, S::Sender, 0, kUpper, 7.1, 4.5},
    {F::Ocr10, 180, S::Sender, 1, kUpper, 7.1, 4.35},
    {F::Ocr10, 180, S::Sender, 2, kUpper, 7.1, 4.2},
    {F::Ocr10, 180, S::Sender, 3, kUpper, 7.1, 4.05},
    {F::Ocr10, 180, S::Sender, 4, kUpper, 7.1, 3.9},
    // The sender's lines, second copy.
    {F::Ocr10, 180, S::Sender, 0, kUpper, 7.55, 3.45},
    {F::Ocr10, 180, S::Sender, 1, kUpper, 7.55, 3.3},
    {F::Ocr10, 180, S::Sender, 2, kUpper, 7.55, 3.15},
    {F::Ocr10, 180, S::Sender, 3, kUpper, 7.55, 3.0},
    {F::Ocr10, 180, S::Sender, 4, kUpper, 7.55, 2.85},
    // The recipient's lines, first copy.
    {F::Ocr10, 180, S::Recipient, 0, kUpper, 7.1, 6.7},
    {F::Ocr10, 180, S::Recipient, 1, kUpper, 7.1, 6.55},
    {F::Ocr10, 180, S::Recipient, 2, kUpper, 7.1, 6.4},
    {F::Ocr10, 180, S::Recipient, 3, kUpper, 7.1, 6.25},
    {F::Ocr10, 180, S::Recipient, 4, kUpper, 7.1, 6.1},
    // The recipient's lines, second copy.
    {F::Ocr10, 180, S::Recipient, 0, kUpper, 4.9, 1.45},
    {F::Ocr10, 180, S::Recipient, 1, kUpper, 4.9, 1.3},
    {F::Ocr10, 180, S::Recipient, 2, kUpper, 4.9, 1.15},
    {F::Ocr10, 180, S::Recipient, 3, kUpper, 4.9, 1.0},
    {F::Ocr10, 180, S::Recipient, 4, kUpper, 4.9, 0.85},
    // The extra label in the upper right corner of the mailer.
    {F::Ocr10, 180, S::ExtraLabel, 0, kUpper, 2.8, 6.6},
    {F::Ocr10, 180, S::ExtraLabel, 1, kUpper, 2.8, 6.45},
    {F::Ocr10, 180, S::ExtraLabel, 2, kUpper, 2.8, 6.3},
    {F::Ocr10, 180, S::ExtraLabel, 3, kUpper, 2.8, 6.15},
    {F::Ocr10, 180, S::ExtraLabel, 4, kUpper, 2.8, 6.0},
    {F::Ocr10, 180, S::Re, 0, kTyped, 7.1, 4.72},
    // Running down the sheet: a third copy of the sender, the RE and the comment.
    {F::Ocr10, 270, S::Sender, 0, kUpper, 4.3, 3.8},
    {F::Ocr10, 270, S::Sender, 1, kUpper, 4.15, 3.8},
    {F::Ocr10, 270, S::Sender, 2, kUpper, 4.0, 3.8},
    {F::Ocr10, 270, S::Sender, 3, kUpper, 3.85, 3.8},
    {F::Ocr10, 270, S::Sender, 4, kUpper, 3.7, 3.8},
    {F::Ocr10, 270, S::Re, 0, kTyped, 8.21, 3.8},
    {F::Ocr10, 270, S::Comment, 0, kTyped, 8.06, 3.8},
    // The receipt block: small type, as typed, with its own captions.
    {F::Base6, 180, S::Sender, 0, kTyped, 1.45, 2.88},
    {F::Base6, 180, S::Re, 0, kTyped, 1.45, 2.78},
    {F::Base6, 180, S::Comment, 0, kTyped, 1.45, 2.68},
    {F::Base6, 180, S::Recipient, 0, kTyped, 1.45, 2.13},
    {F::Base6, 180, S::Recipient, 1, kTyped, 1.45, 2.03},
    {F::Base6, 180, S::Recipient, 2, kTyped, 1.45, 1.93},
    {F::Base6, 180, S::Recipient, 3, kTyped, 1.45, 1.83},
    {F::Base6, 180, S::Recipient, 4, kTyped, 1.45, 1.73},
    {F::Base6, 180, S::Fee, slot::kPostage, kRight, 0.3, 1.43},
    {F::Base6, 180, S::Fee, slot::kCertifiedFee, kRight, 0.3, 1.33},
    {F::Base6, 180, S::Fee, slot::kReturnReceiptFee, kRight, 0.3, 1.23},
    {F::Base6, 180, S::Fee, slot::kRestrictedFee, kRight, 0.3, 1.13},
    {F::Base6, 180, S::Caption, 0, kTyped, 1.45, 1.43, "Postage"},
    {F::Base6, 180, S::Caption, 0, kTyped, 1.45, 1.33, "Certified Fee"},
    {F::Base6, 180, S::Caption, 0, kTyped, 1.45, 1.23, "Return Receipt"},
    {F::Base6, 180, S::Caption, 0, kTyped, 1.45, 1.13, "Restricted"},
    {F::Base8Bold, 180, S::Caption, 0, kTyped, 1.3, 3.3, "RECEIPT"},
    {F::Base8Bold, 180, S::Caption, 0, kTyped, 1.4, 3.02, "FROM:"},
    {F::Base8Bold, 180, S::Caption, 0, kTyped, 1.4, 2.28, "SEND TO:"},
    {F::Base8Bold, 180, S::Caption, 0, kTyped, 1.4, 1.58, "FEES:"},
    {F::Base8Bold, 180, S::Caption, 0, kTyped, 1.4, 0.98, "TOTAL"},
    {F::Base8Bold, 180, S::Caption, 0, kTyped, 1.4, 0.78, "POSTMARK OR DATE"},
    {F::Base8Bold, 180, S::Total, 0, kRight, 0.3, 0.98},
};

// Only the 26 letters change: accented letters of Windows-1252 stay as typed,
// as the stock's OCR fields expect.
std::string upperCaseAtoZ(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

// Blanks and control characters at either end go; fees arrive right-aligned
// with leading blanks.
std::string trimmed(const std::string& text) {
  const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && blank(text[begin])) ++begin;
  while (end > begin && blank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

// The text an item shows, before its case form; an item that does not appear
// on this mailer gives an empty text.
std::string content(const TextItem& item, const PrintRequest& request) {
  switch (item.source) {
    case Source::Sender:
      return request[slot::kSenderLine1 + item.line];
    case Source::Recipient:
      return request[slot::kRecipientLine1 + item.line];
    case Source::ExtraLabel:
      if (request[slot::kPrintExtraLabel] != "Yes") return {};
      return request[request[slot::kExtraLabel] == "Addressed To"
                         ? slot::kRecipientLine1 + item.line
                         : slot::kSenderLine1 + item.line];
    case Source::Re:
      return "RE: " + request[slot::kRe];
    case Source::Comment:
      return request[slot::kComment];
    case Source::Fee:
      return trimmed(request[item.line]);
    case Source::Total:
      return "$ " + trimmed(request[slot::kTotal]);
    case Source::Caption:
      return item.caption;
  }
  return {};
}
}  // namespace

void drawTextGroup(const LayoutPage& page, const PrintRequest& request) {
  for (const TextItem& item : kTextItems) {
    const std::string text = content(item, request);
    if (text.empty()) continue;
    selectLayoutFont(page, item.font, item.angle);
    const QString shown = fromAnsi(item.form == Form::UpperCase ? upperCaseAtoZ(text) : text);
    int x = page.mapping.PageX(item.x);
    // At 180 degrees the text runs leftward from x, so adding its width makes
    // it begin at x on the sheet.
    if (item.form == Form::RightAligned) x += page.canvas.textWidth(shown);
    page.canvas.drawText(x, page.mapping.PageY(item.y), shown);
  }
}

}  // namespace kestrel
