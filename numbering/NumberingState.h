#pragma once

#include <string>

namespace kestrel {

// The part of the settings record that the mailer numbering reads and moves.
// Kept here, free of Qt, so that the numbering can be used and tested alone;
// the process-wide settings record derives from it, so the fields keep their
// settings-file names (Settings.CustID, Settings.SerialNum, ...).
// Text is Windows-1252, as everywhere in the core.
struct NumberingState {
  bool PrintBarCode = false;
  std::string CustID;
  std::string SerialNum;
  bool Increment = false;
  std::string MailerNum;
};

}  // namespace kestrel
