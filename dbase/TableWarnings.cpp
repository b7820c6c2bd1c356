#include "dbase/TableWarnings.h"

#include <iostream>

namespace kestrel {
namespace {

TableWarningHandler& handlerSlot() {
  static TableWarningHandler handler;
  return handler;
}

}  // namespace

void SetWarningHandler(TableWarningHandler handler) {
  handlerSlot() = std::move(handler);
}

void showTableWarning(const std::string& text) {
  const TableWarningHandler& handler = handlerSlot();
  if (handler) {
    handler(std::string(), text);
  } else {
    std::cerr << text << '\n';
  }
}

}  // namespace kestrel
