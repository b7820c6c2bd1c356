#pragma once

namespace kestrel {

class TTzDbf;

// Closes the table when the scope ends, on every path. A close that fails on
// the way out of an error is dropped, so that it cannot hide that error; the
// success path closes the table itself first when it must see a failed close.
class CloseOnExit {
 public:
  explicit CloseOnExit(TTzDbf& table) : m_table(table) {}
  ~CloseOnExit();
  CloseOnExit(const CloseOnExit&) = delete;
  CloseOnExit& operator=(const CloseOnExit&) = delete;

 private:
  TTzDbf& m_table;
};

}  // namespace kestrel
