#pragma once

#include <string>

#include "numbering/NumberingState.h"

namespace kestrel {

// The one process-wide record of every lasting choice, plus two run-time
// fields. Field names are the settings file's key names. Text is
// Windows-1252. Before loading, texts are empty, numbers 0 and flags false;
// the settings file's defaults are applied by loading, not here.
struct SettingsRecord : NumberingState {
  std::string ProgramFolder;  // not stored; always ends in a path separator
  std::string Company;        // "Brightwater", "Harrowgate" or whatever was stored
  std::string Line1, Line2, Line3, Line4;
  std::string City, State, Zip;
  std::string Postage, CertFee, Return, Restricted;
  std::string PrintExtraLabel;  // "Yes" or "No" (anything else is kept as stored)
  std::string ExtraLabel;       // "Addressed To" or "Your Name and Address"
  int LeftRight = 0;
  int TopBottom = 0;
  bool BarCodeApp = false;
  // Mailer numbers as GS1-128 symbols (FNC1 first), as an Intelligent Mail
  // package barcode is printed; off keeps plain Code 128.
  bool IMpbBarCodes = false;
  std::string AddressFolder;      // a path, in the file system's bytes like ProgramFolder
  bool ShowMailerDialog = false;  // not stored
  int LabelCount = 0;             // not stored
};

// The process-wide settings record.
SettingsRecord& Settings();

}  // namespace kestrel
