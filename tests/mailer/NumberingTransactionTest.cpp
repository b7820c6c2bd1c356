// The numbering of a command against a real settings file: what the file and
// the copy's state hold after each way a dialog and the command can end,
// also when another copy of the program numbers meanwhile.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "core/ProfileFile.h"
#include "mailer/NumberingTransaction.h"

namespace kestrel {
namespace {

NumberingState barCodeState(const std::string& serial, const std::string& custId = "123456789") {
  NumberingState state;
  state.PrintBarCode = true;
  state.CustID = custId;
  state.SerialNum = serial;
  state.Increment = true;
  state.MailerNum = "71000000000000000000";
  return state;
}

TEST(NumberingTransaction, TheNumberIsKeptOrPutBackAsTheCommandEnds) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                       ("kestrel-transaction-" + std::to_string(::getpid()));
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::string path = (folder / "Kestrel3.ini").string();

  enum class End { Printed, PutBack, TidiedPutBack };
  struct Case {
    const char* name;
    std::string startCustId;
    // What the dialog does while it is open; false: not confirmed.
    std::function<bool(NumberingState&)> dialog;
    bool otherCopyNumbersMeanwhile;
    End end;
    std::string fileSerial, stateSerial, stateCustId;
  };
  const auto ok = [](NumberingState&) { return true; };
  const auto cancel = [](NumberingState&) { return false; };
  const auto typesSerial = [](NumberingState& state) {
    state.SerialNum = "0000500";
    return true;
  };
  const Case cases[] = {
      {"printed without a change", "123456789", ok, false, End::Printed, "0000042", "0000042",
       "123456789"},
      {"dialog cancelled", "123456789", cancel, false, End::Printed, "0000041", "0000041",
       "123456789"},
      {"a serial typed and printed", "123456789", typesSerial, false, End::Printed, "0000500",
       "0000500", "123456789"},
      // A later stop (a refused customer ID, No to printing a number again)
      // puts back the state before the command, also after a typed number.
      {"confirmed, then stopped", "123456789", ok, false, End::PutBack, "0000041", "0000041",
       "123456789"},
      {"a serial typed, then stopped", "123456789", typesSerial, false, End::PutBack, "0000041",
       "0000041", "123456789"},
      // Another copy took the next number while the dialog was open: a put
      // back would hand that number out again, so this one is skipped, and
      // a confirmed dialog that changed nothing does not write it back over
      // the later one either.
      {"cancelled after another copy numbered", "123456789", cancel, true, End::Printed, "0000043",
       "0000043", "123456789"},
      {"confirmed unchanged after another copy numbered", "123456789", ok, true, End::Printed,
       "0000043", "0000042", "123456789"},
      // The Mailer Number command puts back the identifiers without hyphens.
      {"tidied put back", "12-345-6789", cancel, false, End::TidiedPutBack, "0000041", "0000041",
       "123456789"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(path);
    NumberingState state = barCodeState("0000041", c.startCustId);
    storeNumbering(state, path);

    NumberingTransaction numbering(state, path);
    EXPECT_EQ(state.SerialNum, "0000042");
    EXPECT_EQ(ProfileFile::load(path).readString("Values", "SerialNum", ""), "0000042");
    const auto dialog = [&] {
      if (c.otherCopyNumbersMeanwhile) {
        NumberingState other = barCodeState("0000000");
        reserveNextNumber(other, path);
      }
      return c.dialog(state);
    };
    if (c.end == End::TidiedPutBack) {
      NumberingState tidied = numbering.remembered();
      tidied.CustID = "123456789";
      EXPECT_FALSE(dialog());
      numbering.putBack(tidied);
    } else if (numbering.confirm(dialog) && c.end == End::PutBack) {
      numbering.putBack();
    }
    ProfileFile file = ProfileFile::load(path);
    EXPECT_EQ(file.readString("Values", "SerialNum", ""), c.fileSerial);
    EXPECT_EQ(state.SerialNum, c.stateSerial);
    EXPECT_EQ(state.CustID, c.stateCustId);
    EXPECT_EQ(file.readString("Values", "CustID", ""), c.stateCustId);
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace kestrel
