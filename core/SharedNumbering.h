#pragma once

#include <chrono>
#include <stdexcept>
#include <string>

#include "numbering/NumberingState.h"

namespace kestrel {

// Every copy of the program on a machine numbers its mailers from the one
// settings file. Each copy keeps its own settings record, so the shared
// fields of the numbering (CustID, SerialNum and MailerNum) are re-read from
// the file, changed and written back while the copy holds the file's lock:
// the read-advance-write is one step across processes, and a number is
// written to the file before its mailer goes to the printer, so that a crash
// skips a number but never hands it out twice. PrintBarCode and Increment
// are the user's choices of this copy and keep the settings file's usual
// life cycle.

// The lock, the file or its write failed: nothing was numbered.
class NumberingFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// How long a copy waits for another that holds the lock. Holding it takes a
// read and a write of a small file, so a longer wait means the other copy
// hangs.
inline constexpr std::chrono::milliseconds kNumberingLockWait{2000};

// The exclusive lock of the settings file: an flock on a lock file beside it.
// The settings file itself is replaced as a whole on every write, which
// would leave a lock on it behind with the old file.
class SettingsFileLock {
 public:
  // Throws NumberingFileError naming the file when the lock cannot be had
  // within `wait`.
  explicit SettingsFileLock(const std::string& settingsPath,
                            std::chrono::milliseconds wait = kNumberingLockWait);
  ~SettingsFileLock();
  SettingsFileLock(const SettingsFileLock&) = delete;
  SettingsFileLock& operator=(const SettingsFileLock&) = delete;

 private:
  int m_fd = -1;
};

// The shared fields before and after one advance.
struct NumberReservation {
  NumberingState before;
  NumberingState after;
};

// Under the lock: takes the shared fields into `state` as the file holds
// them now, advances (AdvanceMailerNumber) and writes them back. On any
// failure (the lock, the write, a counter that is not a number) neither the
// file nor `state` changes.
NumberReservation reserveNextNumber(NumberingState& state, const std::string& settingsPath);

// Under the lock: writes the shared fields of `state`, after a dialog has
// set the number. Throws NumberingFileError when they could not be written.
void storeNumbering(const NumberingState& state, const std::string& settingsPath);

// Under the lock: puts `reservation.before` back, both in the file and in
// `state`, only when the file still holds the reserved number. When another
// copy has taken a later one meanwhile, the reserved number is skipped and
// `state` takes the file's fields. Returns whether the number was given back.
bool giveBackNumber(NumberingState& state, const NumberReservation& reservation,
                    const std::string& settingsPath);

// The shared fields as written to the settings file, in its [Values] section.
bool sameSharedNumbering(const NumberingState& a, const NumberingState& b);

}  // namespace kestrel
