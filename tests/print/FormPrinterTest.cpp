#include <gtest/gtest.h>

#include <QFont>

#include "QtPrinting.h"
#include "numbering/MailerNumber.h"
#include "numbering/NumberConversionError.h"
#include "print/FormPrinter.h"
#include "print/PrintError.h"
#include "print/RecordingCanvas.h"

namespace kestrel {
namespace {

using Call = RecordingCanvas::Call;

const QFont kBaseFont(QStringLiteral("Arial"), 8);
constexpr PageGeometry k300{300, 300, 0, 0};

PrintRequest plainRequest() {
  PrintRequest request;
  request[0] = "Sender";
  request[5] = "12345";
  request[15] = "123456789";
  request[16] = "0000001";
  request[22] = "0";
  request[23] = "0";
  request[24] = "No";
  return request;
}

// The human-readable T number of each label (the first number text).
QStringList labelNumbers(const RecordingCanvas& canvas) {
  QStringList numbers;
  for (int job = 1; job <= canvas.jobsStarted(); ++job) {
    const std::vector<Call> calls = canvas.drawings(job);
    numbers << (calls.size() > 4 ? calls[4].text : QString());
  }
  return numbers;
}

QString shown(const std::string& custId, const std::string& serial) {
  return QString::fromStdString(GroupMailerNumber(ComposeMailerNumber(custId, serial, "T")));
}

TEST(FormPrinter, LabelSerialsCountOnAndWrapWithoutTouchingTheStart) {
  RecordingCanvas canvas(k300);
  const std::string start = "9999998";
  LabelRunProgress progress;
  PrintBarCodeLabels(canvas, 3, "123456789", start, 0, 0, kBaseFont, &progress);
  EXPECT_EQ(canvas.jobsStarted(), 3);
  EXPECT_EQ(canvas.jobsEnded(), 3);
  EXPECT_EQ(labelNumbers(canvas),
            (QStringList{shown("123456789", "9999998"), shown("123456789", "9999999"),
                         shown("123456789", "0000001")}));
  EXPECT_EQ(progress.labelsPrinted, 3);
  EXPECT_EQ(progress.serial, "0000001");
  EXPECT_EQ(start, "9999998");

  RecordingCanvas none(k300);
  PrintBarCodeLabels(none, 0, "123456789", start, 0, 0, kBaseFont);
  PrintBarCodeLabels(none, -5, "123456789", start, 0, 0, kBaseFont);
  EXPECT_EQ(none.jobsStarted(), 0);
}

TEST(FormPrinter, ASerialThatIsNoNumberPrintsOneLabelWithZerosThenStops) {
  RecordingCanvas canvas(k300);
  LabelRunProgress progress;
  EXPECT_THROW(PrintBarCodeLabels(canvas, 3, "123456789", "12     ", 0, 0, kBaseFont, &progress),
               NumberConversionError);
  EXPECT_EQ(canvas.jobsEnded(), 1);
  EXPECT_EQ(labelNumbers(canvas), QStringList{shown("123456789", "0000000")});
  EXPECT_EQ(progress.labelsPrinted, 1);

  // A single label needs no counting on, so it prints without an error.
  RecordingCanvas single(k300);
  PrintBarCodeLabels(single, 1, "123456789", "12     ", 0, 0, kBaseFont);
  EXPECT_EQ(single.jobsEnded(), 1);
}

TEST(FormPrinter, PrinterFailureEndsTheRunAtThatLabelAndTheNextJobStillWorks) {
  RecordingCanvas canvas(k300);
  canvas.failEndOfJob(2);
  LabelRunProgress progress;
  EXPECT_THROW(PrintBarCodeLabels(canvas, 5, "123456789", "0000041", 0, 0, kBaseFont, &progress),
               PrintError);
  EXPECT_EQ(canvas.jobsStarted(), 2);
  EXPECT_EQ(progress.labelsPrinted, 1);
  EXPECT_EQ(progress.serial, "0000042");

  canvas.setRefuseJobs(true);
  EXPECT_THROW(PrintMailer(canvas, plainRequest(), true, kBaseFont), PrintError);
  canvas.setRefuseJobs(false);
  EXPECT_EQ(PrintMailer(canvas, plainRequest(), true, kBaseFont), "9214712345678900000015");
  EXPECT_EQ(canvas.jobsEnded(), 2);
}

TEST(FormPrinter, AlignmentSlotsMustBeWholeNumbers) {
  for (const char* bad : {"", "abc", "1.5", "12x", "- 3", "99999999999"}) {
    PrintRequest request = plainRequest();
    request[22] = bad;
    RecordingCanvas canvas(k300);
    EXPECT_THROW(PrintMailer(canvas, request, false, kBaseFont), PrintError) << bad;
    EXPECT_EQ(canvas.jobsStarted(), 0) << "no page is started for a request that cannot print";
  }
  for (const char* good : {" 7", "+7", "-999", "999", "1500"}) {
    PrintRequest request = plainRequest();
    request[23] = good;
    RecordingCanvas canvas(k300);
    EXPECT_NO_THROW(PrintMailer(canvas, request, false, kBaseFont)) << good;
  }
  // Offsets move the page by 3 pixels per unit: "-999" puts the sender far up.
  PrintRequest request = plainRequest();
  request[23] = "-999";
  RecordingCanvas canvas(k300);
  PrintMailer(canvas, request, false, kBaseFont);
  EXPECT_EQ(canvas.drawings()[1].at.y(), 1350 - 2997);
}

TEST(FormPrinter, OddTextsAreDrawnAsTheyAre) {
  PrintRequest request = plainRequest();
  request[0] = std::string(100000, 'W');
  request[6] = "tab\there\x01\x7f";
  request[12] = "\x81\x8d\x8f\x90\x9d";  // bytes Windows-1252 leaves undefined
  request[13] = std::string("nul\0inside", 10);
  RecordingCanvas canvas(k300);
  EXPECT_NO_THROW(PrintMailer(canvas, request, true, kBaseFont));
  EXPECT_EQ(canvas.jobsEnded(), 1);
}

}  // namespace
}  // namespace kestrel
