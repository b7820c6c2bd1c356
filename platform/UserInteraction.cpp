#include "platform/UserInteraction.h"

#include <cassert>

#include "platform/ApplicationTitle.h"

namespace kestrel {
namespace {

UserInteraction*& installed() {
  static UserInteraction* service = nullptr;
  return service;
}

}  // namespace

UserInteraction& ui() {
  assert(installed() != nullptr && "no user-interaction service installed");
  return *installed();
}

UserInteraction* setUserInteraction(UserInteraction* service) {
  UserInteraction* previous = installed();
  installed() = service;
  return previous;
}

void showError(const QString& text) {
  ui().message(kApplicationTitle, text, UserInteraction::Icon::Error, UserInteraction::Buttons::Ok);
}

void showInformation(const QString& text) {
  ui().message(kApplicationTitle, text, UserInteraction::Icon::Information,
               UserInteraction::Buttons::Ok);
}

}  // namespace kestrel
