#pragma once

#include <functional>
#include <string>

#include "core/SharedNumbering.h"

namespace kestrel {

// The numbering of one command that takes a mailer number: Print, each
// mailer of Mass Print, the pre-print run of bar-code labels and the Mailer
// Number command. It remembers the numbering state and advances it; a
// dialog may show and change the advanced number; when the command does not
// go on, the remembered state is put back. Every step goes through the
// settings file under its lock (SharedNumbering.h), so that every copy of
// the program numbers on from what this one did.
//
// Nothing is put back by itself: a command that ends with an error keeps
// the number advanced (a crash skips a number, never hands it out twice).
class NumberingTransaction {
 public:
  // Remembers the numbering state and advances it (reserveNextNumber): from
  // here on `state` and the settings file at `settingsPath` hold the number
  // the mailer gets. Throws NumberingFileError and NumberConversionError with
  // nothing changed.
  NumberingTransaction(NumberingState& state, std::string settingsPath);

  // Runs the dialog over the advanced state: when it is not confirmed, puts
  // the remembered state back and returns false; when it is, keeps what it
  // set (keep()) and returns true.
  bool confirm(const std::function<bool()>& dialog);

  // Writes the state to the settings file when a dialog changed it; from
  // then on the number put back is compared with that state.
  void keep();

  // Puts the remembered state back, in `state` and in the file, as long as
  // the file still holds this command's number; when another copy has taken
  // a later one meanwhile, the number is skipped and `state` takes the
  // file's (giveBackNumber).
  void putBack();

  // The same with `remembered` as the state put back (the Mailer Number
  // command puts back a tidied form of it).
  void putBack(const NumberingState& remembered);

  // The state before the advance.
  const NumberingState& remembered() const { return m_reservation.before; }

 private:
  NumberingState& m_state;
  std::string m_settingsPath;
  NumberReservation m_reservation;
};

// The commands that take a mailer number, for the rules in which they differ.
enum class NumberingCommand { Print, MassPrint, PrePrint };

// Whether `command` refuses to print bar codes with the customer ID of
// `state`. Only in bar-code mode: Print refuses "00-000-0000", which earlier
// versions stored for "not chosen yet" (the start-up asks for a customer ID
// on the same test); Mass Print and the pre-print run refuse "000000000", the
// settings file's default, which Print lets pass.
bool customerIdRefused(const NumberingState& state, NumberingCommand command);

}  // namespace kestrel
