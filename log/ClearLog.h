#pragma once

#include <stdexcept>
#include <string>

namespace kestrel {

class TTzDbf;

// Empties the mailing log, after saving its records when the user asks for
// it (Report > Clear). The log is opened shared; "Report is already empty."
// ends an empty one. The user is asked "Do you wish to save the data in the
// report?": Cancel changes nothing; Yes asks for a file: an existing dBASE
// table takes the log's records after its own (under its append lock), a new
// name gets a byte copy of the log file. Cancelling that file dialog cancels
// the Clear: the user asked for a copy, and the log is the office's proof of
// mailing. When the copy cannot be made (the table's append lock stays
// refused, the file cannot be written) the log is left as it is and the
// user is told why. Then, after Yes or No, the log is reopened for exclusive
// use, every record is marked deleted and the table packed: the file stays,
// with its fields and no records.
//
// The log is switched back to shared use and closed on every path. Errors
// (the log held open by another copy of the program: code 32; a save target
// that is no table, or is the log itself) reach the caller with nothing
// cleared; a copy already saved stays.
void clearMailingLog(TTzDbf& log);

// Thrown when the copy the user asked for could not be made.
class ClearLogError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Copies the file byte for byte to a new file; false, with no partial copy
// left behind, when it cannot be written whole. `why` tells the reason.
bool copyFileBytes(const std::string& from, const std::string& to, std::string& why);

}  // namespace kestrel
