#pragma once

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

namespace kestrel {

class TTzDbf;

// Where the log's records are saved before it is emptied, as the user
// chose: nothing (a Cancel, also of the file dialog) stops the Clear, an
// empty path clears without a copy, any other path is the file to save them
// in. The window asks; it is asked only when the log holds records.
using ChooseLogCopy = std::function<std::optional<std::string>()>;

// Empties the mailing log, after saving its records when the user asks for
// it (Report > Clear). The log is opened shared; an empty one ends the Clear
// with EmptyLogError "Report is already empty.". Then `chooseCopy` is asked:
// an existing dBASE table takes the log's records after its own (under its
// append lock), a new name gets a byte copy of the log file. When the copy
// cannot be made (the table's append lock stays refused, the file cannot be
// written) the log is left as it is and ClearLogError says why. Then the
// log is reopened for exclusive use, every record is marked deleted and the
// table packed: the file stays, with its fields and no records.
//
// The log is switched back to shared use and closed on every path. Errors
// (the log held open by another copy of the program: code 32; a save target
// that is no table, or is the log itself) reach the caller with nothing
// cleared; a copy already saved stays.
void clearMailingLog(TTzDbf& log, const ChooseLogCopy& chooseCopy);

// Thrown when the copy the user asked for could not be made.
class ClearLogError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Copies the file byte for byte to a new file; false, with no partial copy
// left behind, when it cannot be written whole. `why` tells the reason.
bool copyFileBytes(const std::string& from, const std::string& to, std::string& why);

}  // namespace kestrel
