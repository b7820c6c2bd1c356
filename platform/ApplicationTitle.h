#pragma once

namespace kestrel {

// The program's name in every title bar, message box and e-mail subject.
inline constexpr const char* kApplicationTitle = "Kestrel";

}  // namespace kestrel
