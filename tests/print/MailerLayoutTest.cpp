// Every item of the mailer as the printer is asked to draw it: content, font,
// angle and pixel position, read back from the recording canvas and compared
// with the layout written out again here from the form's measurements.
#include <gtest/gtest.h>

#include <QFont>
#include <cmath>
#include <vector>

#include "QtPrinting.h"
#include "SampleRequest.h"
#include "platform/AnsiText.h"
#include "print/FormPrinter.h"
#include "print/RecordingCanvas.h"

namespace kestrel {
namespace {

using Call = RecordingCanvas::Call;

// A 600-dpi printer whose printable area starts a quarter inch in, with the
// user's alignment at 2 units right and 1 unit up (the request's slots 22, 23).
constexpr PageGeometry kPrinter{600, 600, 150, 150};
constexpr int kLeftRight = 2;
constexpr int kTopBottom = -1;
int px(double inches) {
  return 3 * kLeftRight + static_cast<int>(std::trunc((inches - 0.25) * 600));
}
int py(double inches) {
  return 3 * kTopBottom + static_cast<int>(std::trunc((inches - 0.25) * 600));
}

// Em heights at 600 dpi: points / 72 inch.
int pixels(int points) {
  switch (points) {
    case 11:
      return 92;
    case 10:
      return 83;
    case 8:
      return 67;
    case 6:
      return 50;
  }
  return 0;
}

const QFont kBaseFont(QStringLiteral("Arial"), 8);

// The number of customer ID 123456789, serial 0000001, worked out by hand.
const char* const kT = "9214 7123 4567 8900 0000 15";
const char* const kF = "9290 9123 4567 8900 0000 19";

struct Item {
  std::string text;  // Windows-1252
  const char* face;
  int points;
  bool bold;
  int angle;
  double x, y;
  bool rightAligned = false;
};

constexpr const char* kOcr = "OCR A Extended";
constexpr const char* kArial = "Arial";

PrintRequest fullRequest() {
  PrintRequest request = test::fullSampleRequest();
  request[slot::kRecipientLine1] = "Jos\xE9 M\xFCller";
  request[slot::kReturnReceiptFee] = "    11.55";
  request[slot::kTotal] = "    19.15";
  request[slot::kLeftRight] = std::to_string(kLeftRight);
  request[slot::kTopBottom] = std::to_string(kTopBottom);
  return request;
}

std::string upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return text;
}

// The bar-code group's eight number texts.
std::vector<Item> numberTexts() {
  return {{kT, kOcr, 11, false, 180, 3.08, 4.02}, {kF, kOcr, 11, false, 180, 7.2, 4.92},
          {kT, kOcr, 11, false, 180, 4.9, 1.98},  {kF, kOcr, 11, false, 180, 4.9, 0.35},
          {kT, kOcr, 10, false, 180, 4.55, 2.8},  {kT, kOcr, 10, false, 270, 7.91, 3.8},
          {kT, kOcr, 8, false, 270, 8.1, 1.56},   {kT, kArial, 6, false, 180, 1.47, 3.17}};
}

// The text group for a request whose lines are all filled; `extra` are the
// five lines the extra label shows (none when it is off).
std::vector<Item> textGroup(const PrintRequest& r, const std::vector<std::string>& extra) {
  std::vector<Item> items;
  const auto lines = [&](int first, bool upperCase, const char* face, int points, int angle,
                         std::vector<double> xs, std::vector<double> ys) {
    for (int i = 0; i < 5; ++i) {
      const std::string& line = r[first + i];
      items.push_back({upperCase ? upper(line) : line, face, points, false, angle,
                       xs.size() == 1 ? xs[0] : xs[i], ys.size() == 1 ? ys[0] : ys[i]});
    }
  };
  lines(0, true, kOcr, 10, 180, {7.1}, {4.5, 4.35, 4.2, 4.05, 3.9});
  lines(0, true, kOcr, 10, 180, {7.55}, {3.45, 3.3, 3.15, 3.0, 2.85});
  lines(6, true, kOcr, 10, 180, {7.1}, {6.7, 6.55, 6.4, 6.25, 6.1});
  lines(6, true, kOcr, 10, 180, {4.9}, {1.45, 1.3, 1.15, 1.0, 0.85});
  const double extraY[] = {6.6, 6.45, 6.3, 6.15, 6.0};
  for (std::size_t i = 0; i < extra.size(); ++i)
    items.push_back({upper(extra[i]), kOcr, 10, false, 180, 2.8, extraY[i]});
  items.push_back({"RE: " + r[12], kOcr, 10, false, 180, 7.1, 4.72});
  lines(0, true, kOcr, 10, 270, {4.3, 4.15, 4.0, 3.85, 3.7}, {3.8});
  items.push_back({"RE: " + r[12], kOcr, 10, false, 270, 8.21, 3.8});
  items.push_back({r[13], kOcr, 10, false, 270, 8.06, 3.8});
  items.push_back({r[0], kArial, 6, false, 180, 1.45, 2.88});
  items.push_back({"RE: " + r[12], kArial, 6, false, 180, 1.45, 2.78});
  items.push_back({r[13], kArial, 6, false, 180, 1.45, 2.68});
  lines(6, false, kArial, 6, 180, {1.45}, {2.13, 2.03, 1.93, 1.83, 1.73});
  return items;
}

// The receipt's fee lines and captions for the fees of fullRequest().
std::vector<Item> receipt(const char* total, std::vector<const char*> fees) {
  std::vector<Item> items;
  const double feeY[] = {1.43, 1.33, 1.23, 1.13};
  for (std::size_t i = 0; i < fees.size(); ++i)
    items.push_back({fees[i], kArial, 6, false, 180, 0.3, feeY[i], true});
  const char* captions[] = {"Postage", "Certified Fee", "Return Receipt", "Restricted"};
  for (int i = 0; i < 4; ++i) items.push_back({captions[i], kArial, 6, false, 180, 1.45, feeY[i]});
  items.push_back({"RECEIPT", kArial, 8, true, 180, 1.3, 3.3});
  items.push_back({"FROM:", kArial, 8, true, 180, 1.4, 3.02});
  items.push_back({"SEND TO:", kArial, 8, true, 180, 1.4, 2.28});
  items.push_back({"FEES:", kArial, 8, true, 180, 1.4, 1.58});
  items.push_back({"TOTAL", kArial, 8, true, 180, 1.4, 0.98});
  items.push_back({"POSTMARK OR DATE", kArial, 8, true, 180, 1.4, 0.78});
  items.push_back({total, kArial, 8, true, 180, 0.3, 0.98, true});
  return items;
}

void expectText(const Call& call, const Item& item) {
  const QString text = fromAnsi(item.text);
  SCOPED_TRACE(item.text);
  ASSERT_EQ(call.kind, Call::Kind::Text);
  EXPECT_EQ(call.text, text);
  EXPECT_EQ(call.font, (PageFont{item.face, pixels(item.points), item.angle, item.bold}));
  const int width =
      item.rightAligned ? RecordingCanvas::advanceWidth(text, pixels(item.points)) : 0;
  EXPECT_EQ(call.at, QPoint(px(item.x) + width, py(item.y)));
}

void expectTexts(const std::vector<Call>& calls, std::size_t first,
                 const std::vector<Item>& items) {
  ASSERT_GE(calls.size(), first + items.size());
  for (std::size_t i = 0; i < items.size(); ++i) expectText(calls[first + i], items[i]);
}

// Code 128 images: 2.5 inches wide at 600 dpi, 176 modules of 9 pixels each,
// the T images turned (their start character at the right).
void expectCode128(const Call& call, double x, double y, int height, bool turned) {
  ASSERT_EQ(call.kind, Call::Kind::Image);
  EXPECT_EQ(call.rect, QRect(px(x), py(y), 1500, height));
  EXPECT_EQ(call.image.size(), QSize(176 * 9, height));
  const int firstBar = 10 * 9;  // after the quiet zone
  const int column = turned ? call.image.width() - 1 - firstBar : firstBar;
  EXPECT_EQ(call.image.pixelIndex(column, height / 2), 1);
  EXPECT_EQ(call.image.pixelIndex(turned ? column + 1 : column - 1, height / 2), 0);
}

// POSTNET images at natural size: 14-pixel modules, 84 pixels high.
void expectPostnet(const Call& call, double x, double y, int digitsWithCheck) {
  ASSERT_EQ(call.kind, Call::Kind::Image);
  const int width = (23 + 10 * digitsWithCheck) * 14;
  EXPECT_EQ(call.rect, QRect(px(x), py(y), width, 84));
  EXPECT_EQ(call.image.size(), QSize(width, 84));
}

std::vector<Call> printRecorded(const PrintRequest& request, bool barcodes,
                                std::string* number = nullptr) {
  RecordingCanvas canvas(kPrinter);
  const std::string printed = PrintMailer(canvas, request, barcodes, kBaseFont);
  if (number) *number = printed;
  EXPECT_EQ(canvas.jobsStarted(), 1);
  EXPECT_EQ(canvas.jobsEnded(), 1);
  return canvas.drawings();
}

TEST(MailerLayout, MailerWithBarCodesCarriesEveryGroupInOrder) {
  const PrintRequest request = fullRequest();
  std::string number;
  const std::vector<Call> calls = printRecorded(request, true, &number);
  EXPECT_EQ(number, "9214712345678900000015");
  // The empty restricted-delivery fee prints nothing; everything else is drawn.
  ASSERT_EQ(calls.size(), 4u + 8u + 2u + 55u);

  expectCode128(calls[0], 0.62, 4.1, 450, true);
  expectCode128(calls[1], 4.7, 5.0, 450, false);
  expectCode128(calls[2], 2.4, 2.06, 240, true);
  expectCode128(calls[3], 2.4, 0.4, 240, false);
  expectTexts(calls, 4, numberTexts());

  // Both ZIP+4: nine digits and the check digit each.
  expectPostnet(calls[12], 4.5, 3.55, 10);
  expectPostnet(calls[13], 0.15, 5.63, 10);

  std::vector<std::string> extra(request.begin() + 6, request.begin() + 11);
  std::vector<Item> texts = textGroup(request, extra);
  const std::vector<Item> fees = receipt("$ 19.15", {"3.20", "4.40", "11.55"});
  texts.insert(texts.end(), fees.begin(), fees.end());
  expectTexts(calls, 14, texts);
}

TEST(MailerLayout, TextGroupItemsWithTheirFontsAnglesAndPositions) {
  PrintRequest request = fullRequest();
  request[20] = "     5.10";
  const std::vector<Call> calls = printRecorded(request, true);
  std::vector<std::string> extra(request.begin() + 6, request.begin() + 11);
  std::vector<Item> texts = textGroup(request, extra);
  const std::vector<Item> fees = receipt("$ 19.15", {"3.20", "4.40", "11.55", "5.10"});
  texts.insert(texts.end(), fees.begin(), fees.end());
  ASSERT_EQ(texts.size(), 56u);
  ASSERT_EQ(calls.size(), 14u + 56u);
  expectTexts(calls, 14, texts);

  // Upper-casing touches a-z only: the accented letters stay as typed.
  EXPECT_EQ(calls[14 + 10].text, fromAnsi("JOS\xE9 M\xFCLLER"));
  // Fee values of different lengths all begin 0.3 inch from the sheet's edge.
  for (std::size_t i = 14 + 41; i < 14 + 45; ++i)
    EXPECT_EQ(calls[i].at.x() - RecordingCanvas::advanceWidth(calls[i].text, 50), px(0.3));
}

TEST(MailerLayout, WithoutBarCodesNoNumberIsPrintedAndTheSlotIsReturned) {
  PrintRequest request = fullRequest();
  request[15] = "71000000000000000000";  // a stored number, 20 digits as typed
  request[16] = "";
  std::string number;
  const std::vector<Call> calls = printRecorded(request, false, &number);
  EXPECT_EQ(number, "71000000000000000000");
  ASSERT_EQ(calls.size(), 2u + 55u);
  expectPostnet(calls[0], 4.5, 3.55, 10);
  for (const Call& call : calls) {
    EXPECT_FALSE(call.text.contains("9214")) << call.text.toStdString();
    EXPECT_FALSE(call.text.contains("7100")) << call.text.toStdString();
  }
}

TEST(MailerLayout, ExtraLabelShowsTheChosenAddressOrNothing) {
  PrintRequest request = fullRequest();
  request[24] = "Yes";
  request[25] = "Your Name and Address";
  std::vector<Call> calls = printRecorded(request, false);
  // Only the sender's POSTNET; the label repeats the sender's lines.
  ASSERT_EQ(calls.size(), 1u + 55u);
  std::vector<std::string> sender(request.begin(), request.begin() + 5);
  expectTexts(calls, 1, textGroup(request, sender));

  request[24] = "No";
  request[25] = "Addressed To";
  calls = printRecorded(request, false);
  ASSERT_EQ(calls.size(), 1u + 50u);
  expectTexts(calls, 1, textGroup(request, {}));
}

TEST(MailerLayout, PostnetPositionsFollowTheLengthOfEachZipCode) {
  PrintRequest request = fullRequest();
  request[5] = "12345";
  request[11] = "54321";
  std::vector<Call> calls = printRecorded(request, false);
  expectPostnet(calls[0], 5.3, 3.55, 6);
  expectPostnet(calls[1], 1.08, 5.63, 6);

  // The sender's position follows the slot's length, the recipient's the
  // digits the symbol encodes.
  request[5] = "12345-";
  request[11] = "54321-";
  calls = printRecorded(request, false);
  expectPostnet(calls[0], 4.5, 3.55, 6);
  expectPostnet(calls[1], 1.08, 5.63, 6);
}

TEST(MailerLayout, AnAllEmptyRequestStillPrintsItsPage) {
  PrintRequest request;
  request[22] = "0";
  request[23] = "0";
  request[24] = "No";
  RecordingCanvas canvas(PageGeometry{300, 300, 0, 0});
  EXPECT_EQ(PrintMailer(canvas, request, false, kBaseFont), "");
  EXPECT_EQ(canvas.jobsEnded(), 1);
  const std::vector<Call> calls = canvas.drawings();
  // A blank POSTNET area 20 modules wide, the three "RE: " lines, the
  // captions and "$ " for the total.
  ASSERT_EQ(calls.size(), 1u + 3u + 4u + 6u + 1u);
  EXPECT_EQ(calls[0].rect.size(), QSize(20 * 7, 42));
  EXPECT_EQ(calls[0].image.convertToFormat(QImage::Format_Grayscale8).pixelColor(70, 20),
            Qt::white);
  QStringList texts;
  for (std::size_t i = 1; i < calls.size(); ++i) texts << calls[i].text;
  EXPECT_EQ(texts, (QStringList{"RE: ", "RE: ", "RE: ", "Postage", "Certified Fee",
                                "Return Receipt", "Restricted", "RECEIPT",
                                "FROM:", "SEND TO:", "FEES:", "TOTAL", "POSTMARK OR DATE", "$ "}));
}

TEST(MailerLayout, BaseFontIsOnThePageAtTheStartAndPutBackAtTheEnd) {
  RecordingCanvas canvas(kPrinter);
  PrintMailer(canvas, fullRequest(), true, kBaseFont);
  const std::vector<Call>& calls = canvas.calls();
  const PageFont base{"Arial", 67, 0, false};
  ASSERT_GE(calls.size(), 4u);
  EXPECT_EQ(calls[1].kind, Call::Kind::SetFont);
  EXPECT_EQ(calls[1].font, base);
  EXPECT_EQ(calls[calls.size() - 2].kind, Call::Kind::SetFont);
  EXPECT_EQ(calls[calls.size() - 2].font, base);
  EXPECT_EQ(calls.back().kind, Call::Kind::EndJob);
}

TEST(MailerLayout, PrePrintedLabelCarriesTheBarCodeGroupOnly) {
  RecordingCanvas canvas(kPrinter);
  PrintBarCodeLabels(canvas, 1, "123456789", "0000001", kLeftRight, kTopBottom, kBaseFont);
  const std::vector<Call> calls = canvas.drawings();
  ASSERT_EQ(calls.size(), 12u);
  expectCode128(calls[0], 0.62, 4.1, 450, true);
  expectCode128(calls[1], 4.7, 5.0, 450, false);
  expectCode128(calls[2], 2.4, 2.06, 240, true);
  expectCode128(calls[3], 2.4, 0.4, 240, false);
  expectTexts(calls, 4, numberTexts());
}

}  // namespace
}  // namespace kestrel
