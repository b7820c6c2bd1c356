#pragma once

#include <QString>

namespace kestrel {

// Hands a web address, a "mailto:" address or a local file to the desktop's
// "open" action. Failures are not reported (nothing the user can do about them
// here); returns whether the desktop accepted the request.
bool shellOpen(const QString& target);

}  // namespace kestrel
