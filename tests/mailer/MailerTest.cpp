// The mailer's rules without a window: one mailer to its 28 slots, the sender
// block, the fee texts and their total, and the refused customer IDs.
#include <gtest/gtest.h>

#include "mailer/FeeRules.h"
#include "mailer/Mailer.h"
#include "mailer/NumberingTransaction.h"
#include "numbering/MailerNumber.h"

namespace kestrel {
namespace {

const std::string kBlanks10(10, ' ');

SettingsRecord sampleSettings(bool barCodes) {
  SettingsRecord settings;
  settings.Zip = "62701";
  settings.PrintBarCode = barCodes;
  settings.CustID = "12-345-6789";
  settings.SerialNum = "0000042";
  settings.MailerNum = "71000000000000000000";
  settings.LeftRight = -3;
  settings.TopBottom = 12;
  settings.PrintExtraLabel = "Yes";
  settings.ExtraLabel = "Your Name and Address";
  return settings;
}

TEST(BuildPrintRequest, EveryMailerFillsTheTwentyEightSlots) {
  struct Case {
    const char* name;
    std::array<std::string, kRecipientLines> names;
    std::string city, state, zip, re, restrictedFee;
    bool restricted, barCodes;
    PrintRequest slots;
  };
  const std::array<std::string, 5> sender = {"Ann Example", "Springfield IL 62701", "", "", ""};
  // The fields the cases share: sender, fees as shown, alignment, extra label.
  const auto slots = [](std::array<std::string, 5> lines, std::string zip, std::string re,
                        std::string restricted, std::string number, std::string serial,
                        std::string restrictedFee) {
    return PrintRequest{"Ann Example",
                        "Springfield IL 62701",
                        "",
                        "",
                        "",
                        "62701",
                        lines[0],
                        lines[1],
                        lines[2],
                        lines[3],
                        lines[4],
                        zip,
                        re,
                        "By hand",
                        restricted,
                        number,
                        serial,
                        kBlanks10 + "3.20",
                        kBlanks10 + "4.40",
                        kBlanks10 + "3.55",
                        restrictedFee,
                        "    11.15",
                        "-3",
                        "12",
                        "Yes",
                        "Your Name and Address",
                        "-1",
                        "-1"};
  };
  const Case cases[] = {
      {"two lines: the city line takes the third; bar codes, customer ID without its hyphens",
       {"Bob Smith", "12 Main St", "", ""},
       "Dover",
       "DE",
       "19901",
       "A reference of thirty chars",
       kBlanks10 + "3.50",
       true,
       true,
       slots({"Bob Smith", "12 Main St", "Dover DE 19901", "", ""}, "19901",
             "A reference of thirty cha", "Y", "123456789", "0000042", kBlanks10 + "3.50")},
      {"four lines: the city line is the fifth; no bar codes, the stock number as stored",
       {"A Person", "B Company", "C Street", "D Suite"},
       "Dover",
       "DE",
       "19901-1234",
       "Invoice 17",
       " ",
       false,
       false,
       slots({"A Person", "B Company", "C Street", "D Suite", "Dover DE 19901-1234"}, "19901-1234",
             "Invoice 17", "N", "71000000000000000000", "", " ")},
      {"a line of blanks is blank and is replaced",
       {"Ann", "  ", "Main St", ""},
       "Dover",
       "DE",
       "19901",
       "",
       " ",
       false,
       true,
       slots({"Ann", "Dover DE 19901", "Main St", "", ""}, "19901", "", "N", "123456789", "0000042",
             " ")},
      {"nothing entered: a city line of two blanks in the first line",
       {"", "", "", ""},
       "",
       "",
       "",
       "",
       " ",
       false,
       true,
       slots({"  ", "", "", "", ""}, "", "", "N", "123456789", "0000042", " ")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Mailer mailer;
    mailer.senderLines = sender;
    mailer.names = c.names;
    mailer.city = c.city;
    mailer.state = c.state;
    mailer.zip = c.zip;
    mailer.postage = kBlanks10 + "3.20";
    mailer.certified = kBlanks10 + "4.40";
    mailer.returnReceipt = kBlanks10 + "3.55";
    mailer.restricted = c.restrictedFee;
    mailer.total = "    11.15";
    mailer.comments = "By hand";
    mailer.re = c.re;
    mailer.restrictedDelivery = c.restricted;
    const PrintRequest request = buildPrintRequest(mailer, sampleSettings(c.barCodes));
    for (std::size_t i = 0; i < request.size(); ++i) EXPECT_EQ(request[i], c.slots[i]) << i;
  }
}

TEST(BuildPrintRequest, NumberToPrintIsTheTNumberOrTheStockNumberAsStored) {
  EXPECT_EQ(mailerNumberToPrint(sampleSettings(true)),
            ComposeMailerNumber("123456789", "0000042", "T"));
  EXPECT_EQ(mailerNumberToPrint(sampleSettings(false)), "71000000000000000000");
}

TEST(SenderBlock, TheCityLineGoesIntoTheFirstBlankLine) {
  struct Case {
    std::string line1, line2, line3, line4, city, state, zip;
    std::array<std::string, 5> lines;
  };
  const Case cases[] = {
      {"Ann",
       "",
       "Main St",
       "Floor 2",
       "Springfield",
       "IL",
       "62701",
       {"Ann", "Springfield IL 62701", "Main St", "Floor 2", ""}},
      {"Ann",
       "Dept",
       "Main St",
       "Floor 2",
       "Springfield",
       "IL",
       "62701",
       {"Ann", "Dept", "Main St", "Floor 2", "Springfield IL 62701"}},
      // A line of blanks counts as blank and is replaced.
      {"  ",
       "Dept",
       "",
       "",
       "Springfield",
       "IL",
       "62701",
       {"Springfield IL 62701", "Dept", "", "", ""}},
      // The city line is trimmed as a whole.
      {"Ann", "", "", "", "", "", "62701", {"Ann", "62701", "", "", ""}},
      {"Ann", "Dept", "Main St", "Floor 2", "", "", "", {"Ann", "Dept", "Main St", "Floor 2", ""}},
  };
  for (const Case& c : cases) {
    SettingsRecord s;
    s.Line1 = c.line1, s.Line2 = c.line2, s.Line3 = c.line3, s.Line4 = c.line4;
    s.City = c.city, s.State = c.state, s.Zip = c.zip;
    EXPECT_EQ(senderBlock(s), c.lines) << c.line1 << "|" << c.line2;
  }
}

TEST(FeeRules, LeftFieldsAreNormalisedAndTheTotalCountsWhatTheFieldsShow) {
  struct Case {
    const char* text;
    std::string shown;
    double total;
  };
  // With the other fees 2.40 and 1.85, each text counts as it is shown once
  // normalised: a negative one counts nothing even before its field is left.
  const Case cases[] = {
      {"5", kBlanks10 + "5.00", 9.25},
      {"10.5", "        10.50", 14.75},
      {"  12 ", "        12.00", 16.25},
      {"2.345", kBlanks10 + "2.345", 6.595},  // no rounding to cents
      {"abc", " ", 4.25},
      {"", " ", 4.25},
      {" ", " ", 4.25},
      {"0", " ", 4.25},
      {"-3", " ", 4.25},
      {"12,5", " ", 4.25},  // a comma is no decimal point
      {"1e5", " 100000.00", 100004.25},
      // Normalised, a huge amount keeps its exponent with ".00" appended,
      // which no longer reads as a number, so it counts nothing.
      {"1e300", " 1E300.00", 4.25},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(normalizedFeeText(c.text), c.shown) << c.text;
    EXPECT_DOUBLE_EQ(feeTotal({c.text, "2.40", " ", "1.85"}), c.total) << c.text;
  }
}

TEST(CustomerIdRefused, EachCommandRefusesItsOwnUnsetIdInBarCodeModeOnly) {
  struct Case {
    bool barCodes;
    const char* custId;
    NumberingCommand command;
    bool refused;
  };
  const Case cases[] = {
      {true, "00-000-0000", NumberingCommand::Print, true},
      {true, "000000000", NumberingCommand::Print, false},
      {true, "000000000", NumberingCommand::MassPrint, true},
      {true, "00-000-0000", NumberingCommand::MassPrint, false},
      {true, "000000000", NumberingCommand::PrePrint, true},
      {true, "123456789", NumberingCommand::PrePrint, false},
      {false, "00-000-0000", NumberingCommand::Print, false},
      {false, "000000000", NumberingCommand::MassPrint, false},
      {false, "000000000", NumberingCommand::PrePrint, false},
  };
  for (const Case& c : cases) {
    NumberingState state;
    state.PrintBarCode = c.barCodes;
    state.CustID = c.custId;
    EXPECT_EQ(customerIdRefused(state, c.command), c.refused)
        << c.custId << " bar codes " << c.barCodes << " command " << int(c.command);
  }
}

}  // namespace
}  // namespace kestrel
