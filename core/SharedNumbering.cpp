#include "core/SharedNumbering.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "core/Folders.h"
#include "core/ProfileFile.h"
#include "dbase/MessagePath.h"
#include "numbering/MailerNumber.h"

namespace kestrel {

namespace {

constexpr const char* kSection = "Values";
constexpr std::chrono::milliseconds kLockRetryPause{10};

// Why the user may not write there (a folder of a group the user is not
// in), on a line of its own; nothing when permissions are not the cause.
std::string refusalLine(const std::string& path) {
  const std::string refusal = writeRefusal(path);
  return refusal.empty() ? std::string() : "\n" + refusal;
}

std::string lockFilePath(const std::string& settingsPath) {
  return settingsPath + ".lock";
}

// The file's shared fields over `state`; an absent entry keeps the value in
// memory (the default the settings were loaded with).
void readShared(const ProfileFile& file, NumberingState& state) {
  if (auto value = file.find(kSection, "CustID")) state.CustID = *value;
  if (auto value = file.find(kSection, "SerialNum")) state.SerialNum = *value;
  if (auto value = file.find(kSection, "MailerNum")) state.MailerNum = *value;
}

void writeShared(const NumberingState& state, const std::string& settingsPath) {
  ProfileFile file = ProfileFile::load(settingsPath);
  file.writeString(kSection, "CustID", state.CustID);
  file.writeString(kSection, "SerialNum", state.SerialNum);
  file.writeString(kSection, "MailerNum", state.MailerNum);
  if (!file.save(settingsPath))
    throw NumberingFileError("The mailer number could not be written to the settings file \"" +
                             messagePath(settingsPath) + "\", so no mailer was numbered." +
                             refusalLine(settingsPath));
}

}  // namespace

SettingsFileLock::SettingsFileLock(const std::string& settingsPath,
                                   std::chrono::milliseconds wait) {
  const std::string path = lockFilePath(settingsPath);
  m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0664);
  if (m_fd >= 0) {
    // Every member of the group that prints numbers through the same lock
    // file, whatever the umask of the one who made it.
    struct stat made {};
    if (::fstat(m_fd, &made) == 0 && made.st_uid == ::geteuid()) ::fchmod(m_fd, 0664);
  } else {
    // An flock needs no write access: a lock file made by another user will do.
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  }
  if (m_fd < 0)
    throw NumberingFileError("The settings file's lock \"" + messagePath(path) +
                             "\" could not be opened: " + std::strerror(errno) +
                             ". No mailer was numbered." + refusalLine(path));
  const auto deadline = std::chrono::steady_clock::now() + wait;
  while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK && errno != EINTR) {
      const int error = errno;
      ::close(m_fd);
      throw NumberingFileError("The settings file \"" + messagePath(settingsPath) +
                               "\" could not be locked: " + std::strerror(error) +
                               ". No mailer was numbered.");
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      ::close(m_fd);
      throw NumberingFileError("Another copy of the program keeps the settings file \"" +
                               settingsPath +
                               "\" locked, so the next mailer number cannot be taken. No mailer "
                               "was numbered; please try again.");
    }
    std::this_thread::sleep_for(kLockRetryPause);
  }
}

SettingsFileLock::~SettingsFileLock() {
  // Closing the only descriptor releases the lock.
  ::close(m_fd);
}

bool sameSharedNumbering(const NumberingState& a, const NumberingState& b) {
  return a.CustID == b.CustID && a.SerialNum == b.SerialNum && a.MailerNum == b.MailerNum;
}

NumberReservation reserveNextNumber(NumberingState& state, const std::string& settingsPath) {
  SettingsFileLock lock(settingsPath);
  NumberReservation reservation{state, state};
  readShared(ProfileFile::load(settingsPath), reservation.before);
  reservation.after = reservation.before;
  AdvanceMailerNumber(reservation.after);
  writeShared(reservation.after, settingsPath);
  state = reservation.after;
  return reservation;
}

void storeNumbering(const NumberingState& state, const std::string& settingsPath) {
  SettingsFileLock lock(settingsPath);
  writeShared(state, settingsPath);
}

bool giveBackNumber(NumberingState& state, const NumberReservation& reservation,
                    const std::string& settingsPath) {
  SettingsFileLock lock(settingsPath);
  NumberingState now = state;
  readShared(ProfileFile::load(settingsPath), now);
  const bool untouched = sameSharedNumbering(now, reservation.after);
  if (untouched) {
    writeShared(reservation.before, settingsPath);
    now = reservation.before;
  }
  state.CustID = now.CustID;
  state.SerialNum = now.SerialNum;
  state.MailerNum = now.MailerNum;
  return untouched;
}

}  // namespace kestrel
