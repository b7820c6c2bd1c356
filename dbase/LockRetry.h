#pragma once

#include <chrono>
#include <thread>

namespace kestrel {

// Asks for a lock up to `attempts` times with `pause` between the attempts.
// Each attempt is one request that does not wait, as every copy of the
// program expects of the others; the pauses give a holder time to finish.
// Returns whether an attempt succeeded.
template <typename Attempt>
bool retryLock(int attempts, std::chrono::milliseconds pause, Attempt attempt) {
  for (int made = 1;; ++made) {
    if (attempt()) return true;
    if (made >= attempts) return false;
    std::this_thread::sleep_for(pause);
  }
}

}  // namespace kestrel
