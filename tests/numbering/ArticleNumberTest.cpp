#include <gtest/gtest.h>

#include "numbering/ArticleNumber.h"

namespace kestrel {
namespace {

// 9589 0710 5270 4022 2902 86 is a counter form as sold; its check digit is
// the form's own, not one we computed.
constexpr const char* kCounterForm = "9589071052704022290286";

TEST(ReadArticleNumber, TakesWhatAPersonTypesOrAScannerSends) {
  struct Case {
    const char* typed;
    const char* digits;
    ArticleNumberProblem problem;
  };
  const std::string gs = "\x1d";
  const std::string scannedWithZip9 = "]C1420123456789" + gs + kCounterForm;
  const std::string scannedWithZip5 = gs + "42012345" + gs + kCounterForm;
  const Case cases[] = {
      {kCounterForm, kCounterForm, ArticleNumberProblem::None},
      {"9589 0710 5270 4022 2902 86", kCounterForm, ArticleNumberProblem::None},
      {scannedWithZip9.c_str(), kCounterForm, ArticleNumberProblem::None},
      {scannedWithZip5.c_str(), kCounterForm, ArticleNumberProblem::None},
      {"]C19589071052704022290286", kCounterForm, ArticleNumberProblem::None},
      {"9589 0710 5270 4022 2902 87", "9589071052704022290287",
       ArticleNumberProblem::WrongCheckDigit},
      {"9589 0710 5270 4022 2920 86", "9589071052704022292086",
       ArticleNumberProblem::WrongCheckDigit},  // two digits swapped
      {"9589 0710 5270 4022 2902 8O", "958907105270402229028O", ArticleNumberProblem::NotDigits},
      {"9589-0710-5270-4022-2902-86", "9589-0710-5270-4022-2902-86",
       ArticleNumberProblem::NotDigits},
      {"71000000000000000000", "71000000000000000000", ArticleNumberProblem::TooFewDigits},
      {"", "", ArticleNumberProblem::TooFewDigits},
      {"95890710527040222902861", "95890710527040222902861", ArticleNumberProblem::TooManyDigits},
      // Not a routing prefix: "420" and a ZIP of another length.
      {"4201234567958907105270402229028 6", "42012345679589071052704022290286",
       ArticleNumberProblem::TooManyDigits},
      {"9589 0710 5270 4022 2902 8612 34", "95890710527040222902861234",
       ArticleNumberProblem::LongForm},
  };
  for (const Case& c : cases) {
    const ArticleNumberReading reading = readArticleNumber(c.typed);
    EXPECT_EQ(reading.problem, c.problem) << c.typed;
    EXPECT_EQ(reading.digits, c.digits) << c.typed;
    EXPECT_EQ(articleNumberProblemText(reading).empty(), reading.ok()) << c.typed;
  }
}

TEST(ReadArticleNumber, EachProblemHasItsOwnMessage) {
  EXPECT_EQ(articleNumberProblemText(readArticleNumber("9589 0710 5270 4022 2902 87")),
            "The mailer number 9589 0710 5270 4022 2902 87 is mistyped: its last digit, the check "
            "digit, does not agree with the other digits. Please compare the number with the one "
            "printed on the form.");
  EXPECT_EQ(
      articleNumberProblemText(readArticleNumber("71000000000000000000")),
      "The mailer number has only 20 digits. Please enter all 22 digits printed on the form.");
  EXPECT_NE(articleNumberProblemText(readArticleNumber("12345678901234567890123456")).find("26"),
            std::string::npos);
  EXPECT_NE(articleNumberProblemText(readArticleNumber("95A")).find("\"95A\""), std::string::npos);
}

TEST(DescribeArticleNumber, NamesTheChannelAndTheSerial) {
  EXPECT_EQ(describeArticleNumber(kCounterForm), "USPS retail form, serial 2229028");
  EXPECT_EQ(describeArticleNumber("9214712345678900000015"), "your Mailer ID, serial 0000001");
  EXPECT_EQ(describeArticleNumber("9405511899223197428490"), "USPS online label, serial 9742849");
  EXPECT_EQ(describeArticleNumber("7100000000000000000000"), "channel 71, serial 0000000");
}

}  // namespace
}  // namespace kestrel
