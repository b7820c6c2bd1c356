#include "mailer/NumberingTransaction.h"

#include <utility>

namespace kestrel {

namespace {

constexpr const char* kUnsetHyphenatedCustId = "00-000-0000";
constexpr const char* kDefaultCustId = "000000000";

}  // namespace

NumberingTransaction::NumberingTransaction(NumberingState& state, std::string settingsPath)
    : m_state(state),
      m_settingsPath(std::move(settingsPath)),
      m_reservation(reserveNextNumber(state, m_settingsPath)) {}

bool NumberingTransaction::confirm(const std::function<bool()>& dialog) {
  if (!dialog()) {
    putBack();
    return false;
  }
  keep();
  return true;
}

void NumberingTransaction::keep() {
  if (sameSharedNumbering(m_state, m_reservation.after)) return;
  storeNumbering(m_state, m_settingsPath);
  m_reservation.after = m_state;
}

void NumberingTransaction::putBack() {
  giveBackNumber(m_state, m_reservation, m_settingsPath);
}

void NumberingTransaction::putBack(const NumberingState& remembered) {
  NumberReservation tidied = m_reservation;
  tidied.before = remembered;
  giveBackNumber(m_state, tidied, m_settingsPath);
}

bool customerIdRefused(const NumberingState& state, NumberingCommand command) {
  if (!state.PrintBarCode) return false;
  return state.CustID ==
         (command == NumberingCommand::Print ? kUnsetHyphenatedCustId : kDefaultCustId);
}

}  // namespace kestrel
