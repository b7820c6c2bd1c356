#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "numbering/MailerNumber.h"
#include "numbering/NumberConversionError.h"

namespace kestrel {
namespace {

// Expected numbers are worked by hand with the GS1 mod-10 rule (weights 3, 1
// from the right of the 21-digit body).

TEST(ComposeMailerNumber, WorkedExampleBothKinds) {
  EXPECT_EQ(ComposeMailerNumber("123456789", "0000001", "T"), "9214712345678900000015");
  EXPECT_EQ(ComposeMailerNumber("123456789", "0000001", "F"), "9290912345678900000019");
  EXPECT_EQ(GroupMailerNumber("9214712345678900000015"), "9214 7123 4567 8900 0000 15");
}

TEST(ComposeMailerNumber, AnyKindButFIsTheTNumber) {
  const std::string t = "9214712345678900000015";
  EXPECT_EQ(ComposeMailerNumber("123456789", "0000001", ""), t);
  EXPECT_EQ(ComposeMailerNumber("123456789", "0000001", "X"), t);
  EXPECT_EQ(ComposeMailerNumber("123456789", "0000001", "f"), t);
}

TEST(ComposeMailerNumber, CheckSumEndingInZeroGivesZero) {
  // Body 921470000000000000000 weighs 3*(9+1+7) + (2+4) = 57; serial 1 adds 3.
  EXPECT_EQ(ComposeMailerNumber("000000000", "0000001", "T"), "9214700000000000000010");
  EXPECT_EQ(mailerCheckDigit("921470000000000000001"), '0');
}

TEST(ComposeMailerNumber, CustomerIdEdgeCases) {
  struct Case {
    const char* custId;
    const char* field;  // characters 6-14 of the result
  };
  const Case cases[] = {
      {"12345678", "012345678"},     // padded
      {"123456789", "123456789"},    //
      {"1234567890", "123456789"},   // ten digits below 2^31: first nine kept
      {"2147483647", "214748364"},   // the largest 32-bit value
      {"2147483648", "000000000"},   // beyond the 32-bit range
      {"99999999999", "000000000"},  //
      {"1234     ", "000000000"},    // partly filled field: blanks after the digits
      {"00-000-0000", "000000000"},  // hyphens are removed by the callers, not here
      {"", "000000000"},             //
      {"abc", "000000000"},          //
      {"-5", "000000000"},           // negative: no digit string, zeros
      {"   123", "000000123"},       // reads as 123; the blanks never reach the number
      {"+123", "000000123"},         //
  };
  for (const Case& c : cases) {
    const std::string number = ComposeMailerNumber(c.custId, "0000001", "T");
    ASSERT_EQ(number.size(), 22u) << c.custId;
    EXPECT_EQ(number.substr(5, 9), c.field) << "customer ID '" << c.custId << "'";
    EXPECT_EQ(number.find_first_not_of("0123456789"), std::string::npos) << c.custId;
  }
}

TEST(ComposeMailerNumber, SerialIsPaddedOrCut) {
  EXPECT_EQ(ComposeMailerNumber("123456789", "1", "T").substr(14, 7), "0000001");
  EXPECT_EQ(ComposeMailerNumber("123456789", "123456789", "T").substr(14, 7), "1234567");
  EXPECT_EQ(ComposeMailerNumber("123456789", "12a", "T").substr(14, 7), "0000000");
  EXPECT_EQ(ComposeMailerNumber("123456789", "", "T").substr(14, 7), "0000000");
}

TEST(GroupMailerNumber, CutsGroupsAtTheEndAndAlwaysWritesFiveBlanks) {
  EXPECT_EQ(GroupMailerNumber("9214712345678900000015").size(), 27u);
  EXPECT_EQ(GroupMailerNumber("71000000000000000000"), "7100 0000 0000 0000 0000 ");
  EXPECT_EQ(GroupMailerNumber(""), "     ");
  EXPECT_EQ(GroupMailerNumber("123456"), "1234 56    ");
  EXPECT_EQ(GroupMailerNumber("123456789012345678901234"), "1234 5678 9012 3456 7890 12");
}

std::string zeroPaddedSerial(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%07d", value);
  return text;
}

NumberingState barCodeState(const std::string& serial) {
  NumberingState state;
  state.PrintBarCode = true;
  state.CustID = "12-345-6789";
  state.SerialNum = serial;
  state.MailerNum = "71000000000000000000";
  return state;
}

TEST(AdvanceMailerNumber, BarCodeModeStepsTheSerialWithItsWraps) {
  struct Case {
    const char* before;
    const char* advanced;
    const char* steppedBack;
  };
  const Case cases[] = {
      {"0000041", "0000042", "0000040"}, {"9999999", "0000001", "9999998"},
      {"0000000", "0000001", "9999999"}, {"0000001", "0000002", "0000000"},
      {"0000100", "0000101", "0000099"}, {" 41", "0000042", "0000040"},
      {"5", "0000006", "0000004"},
  };
  for (const Case& c : cases) {
    NumberingState forward = barCodeState(c.before);
    AdvanceMailerNumber(forward);
    EXPECT_EQ(forward.SerialNum, c.advanced) << c.before;
    EXPECT_EQ(forward.CustID, "12-345-6789");
    EXPECT_EQ(forward.MailerNum, "71000000000000000000");
    NumberingState back = barCodeState(c.before);
    StepBackMailerNumber(back);
    EXPECT_EQ(back.SerialNum, c.steppedBack) << c.before;
  }
}

TEST(AdvanceMailerNumber, LargestSerialDoesNotOverflow) {
  NumberingState state = barCodeState("2147483647");
  AdvanceMailerNumber(state);
  EXPECT_EQ(state.SerialNum, "2147483648");
  EXPECT_THROW(AdvanceMailerNumber(state), NumberConversionError);
}

TEST(AdvanceMailerNumber, UnreadableSerialFailsAndKeepsTheState) {
  for (const char* serial : {"abc", "", "12 45", "0000041-", "2147483648"}) {
    NumberingState state = barCodeState(serial);
    const NumberingState before = state;
    try {
      AdvanceMailerNumber(state);
      ADD_FAILURE() << "no error for '" << serial << "'";
    } catch (const NumberConversionError& e) {
      EXPECT_EQ(std::string(e.what()),
                "'" + std::string(serial) + "' is not a valid integer value");
    }
    EXPECT_THROW(StepBackMailerNumber(state), NumberConversionError);
    EXPECT_EQ(state.SerialNum, before.SerialNum);
    EXPECT_EQ(state.MailerNum, before.MailerNum);
  }
}

NumberingState stockState(const std::string& mailerNum, bool increment) {
  NumberingState state;
  state.PrintBarCode = false;
  state.CustID = "000000000";
  state.SerialNum = "0000041";
  state.Increment = increment;
  state.MailerNum = mailerNum;
  return state;
}

TEST(AdvanceMailerNumber, StockModeCountsInsideMailerNum) {
  NumberingState up = stockState("71000000000000000000", true);
  AdvanceMailerNumber(up);
  EXPECT_EQ(up.MailerNum, "9214700000000000000010");
  AdvanceMailerNumber(up);  // a stored composition keeps counting
  EXPECT_EQ(up.MailerNum, "9214700000000000000027");
  EXPECT_EQ(up.SerialNum, "0000041");

  NumberingState down = stockState("71000000000000000000", false);
  AdvanceMailerNumber(down);  // counter 0 counts down to 9999999
  EXPECT_EQ(down.MailerNum, "9214700000000099999998");
}

TEST(AdvanceMailerNumber, StockModeReadsTheTypedTwentyDigitForm) {
  // "71", customer ID 123456789, counter 0000041, two more digits.
  NumberingState state = stockState("71123456789000004105", true);
  AdvanceMailerNumber(state);
  EXPECT_EQ(state.MailerNum, ComposeMailerNumber("123456789", "0000042", "T"));
}

TEST(AdvanceMailerNumber, StockModeStepBackReversesTheAdvance) {
  for (bool increment : {true, false}) {
    const std::string start = ComposeMailerNumber("123456789", "0000041", "T");
    NumberingState state = stockState(start, increment);
    AdvanceMailerNumber(state);
    EXPECT_EQ(state.MailerNum,
              ComposeMailerNumber("123456789", increment ? "0000042" : "0000040", "T"));
    StepBackMailerNumber(state);
    EXPECT_EQ(state.MailerNum, start);
  }
}

TEST(AdvanceMailerNumber, StockModeUnreadableCounterFailsAndKeepsTheState) {
  for (const char* mailerNum : {"7100", "", "71000000000ABCDEFG000",
                                "71000000000000"
                                "000 000"
                                "0"}) {
    NumberingState state = stockState(mailerNum, true);
    EXPECT_THROW(AdvanceMailerNumber(state), NumberConversionError) << mailerNum;
    EXPECT_THROW(StepBackMailerNumber(state), NumberConversionError) << mailerNum;
    EXPECT_EQ(state.MailerNum, mailerNum);
  }
}

// The check digit by the other form of the rule: A = sum of the digits at odd
// positions from the left, B = at even positions, d = (10 - (3A + B) mod 10) mod 10.
char checkDigitByPositions(const std::string& body) {
  int a = 0;
  int b = 0;
  for (std::size_t i = 0; i < body.size(); ++i) (i % 2 == 0 ? a : b) += body[i] - '0';
  return static_cast<char>('0' + (10 - (3 * a + b) % 10) % 10);
}

// The number on a pre-printed form is the form's own: its first 14 digits
// stay, the serial (digits 15-21) counts with the usual wraps and the check
// digit is made anew. For one of our own "92147" numbers that is exactly the
// recomposition. The first two rows are consecutive counter forms as sold.
TEST(AdvanceMailerNumber, StockModeKeepsTheFormsOwnFirstFourteenDigits) {
  struct Case {
    const char* head;  // digits 1-14
    const char* serial;
    bool increment;
    const char* advancedSerial;
    const char* steppedBackSerial;
  };
  const Case cases[] = {
      {"95890710527040", "2229028", true, "2229029", "2229027"},
      {"95890710527040", "2229029", true, "2229030", "2229028"},
      {"95909402123456", "9999999", true, "0000001", "9999998"},
      {"95909402123456", "0000001", false, "0000000", "0000002"},
      {"94071118987654", "0000000", false, "9999999", "0000001"},
      {"92147123456789", "0000041", true, "0000042", "0000040"},
  };
  for (const Case& c : cases) {
    const std::string body = std::string(c.head) + c.serial;
    const std::string start = body + checkDigitByPositions(body);
    NumberingState forward = stockState(start, c.increment);
    AdvanceMailerNumber(forward);
    const std::string advanced = std::string(c.head) + c.advancedSerial;
    EXPECT_EQ(forward.MailerNum, advanced + checkDigitByPositions(advanced)) << start;
    NumberingState back = stockState(start, c.increment);
    StepBackMailerNumber(back);
    const std::string steppedBack = std::string(c.head) + c.steppedBackSerial;
    EXPECT_EQ(back.MailerNum, steppedBack + checkDigitByPositions(steppedBack)) << start;
  }
  // The forms that follow 9589 0710 5270 4022 2902 86 on a counter pad.
  NumberingState pad = stockState("9589071052704022290286", true);
  AdvanceMailerNumber(pad);
  EXPECT_EQ(pad.MailerNum, "9589071052704022290293");
  AdvanceMailerNumber(pad);
  EXPECT_EQ(pad.MailerNum, "9589071052704022290309");
  // Our own numbers step exactly as their recomposition does.
  NumberingState own = stockState(ComposeMailerNumber("123456789", "0000041", "T"), true);
  AdvanceMailerNumber(own);
  EXPECT_EQ(own.MailerNum, ComposeMailerNumber("123456789", "0000042", "T"));
}

TEST(ComposeMailerNumber, ArbitraryTextsAlwaysGiveAValidNumber) {
  std::mt19937 random(622);
  const std::string alphabet = "0123456789 -+a\t";
  std::uniform_int_distribution<std::size_t> letter(0, alphabet.size() - 1);
  std::uniform_int_distribution<int> length(0, 14);
  auto randomText = [&] {
    std::string text;
    for (int n = length(random); n > 0; --n) text += alphabet[letter(random)];
    return text;
  };
  for (int i = 0; i < 2000; ++i) {
    const std::string custId = randomText();
    const std::string serial = randomText();
    const std::string kind = i % 3 == 0 ? "F" : randomText();
    const std::string number = ComposeMailerNumber(custId, serial, kind);
    ASSERT_EQ(number.size(), 22u);
    ASSERT_EQ(number.find_first_not_of("0123456789"), std::string::npos) << number;
    EXPECT_EQ(number.substr(0, 5), kind == "F" ? "92909" : "92147");
    EXPECT_EQ(number[21], checkDigitByPositions(number.substr(0, 21))) << number;
  }
}

TEST(StepBackMailerNumber, ReversesTheAdvanceAwayFromTheWrap) {
  std::mt19937 random(709);
  std::uniform_int_distribution<int> serialValue(1, 9999998);
  for (int i = 0; i < 500; ++i) {
    const std::string serial = zeroPaddedSerial(serialValue(random));
    NumberingState state = barCodeState(serial);
    AdvanceMailerNumber(state);
    StepBackMailerNumber(state);
    EXPECT_EQ(state.SerialNum, serial);

    const std::string composed = ComposeMailerNumber("987654321", serial, "T");
    NumberingState stock = stockState(composed, i % 2 == 0);
    AdvanceMailerNumber(stock);
    StepBackMailerNumber(stock);
    EXPECT_EQ(stock.MailerNum, composed);
  }
}

}  // namespace
}  // namespace kestrel
