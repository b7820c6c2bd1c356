#pragma once

#include <QString>
#include <string>

namespace kestrel {

// Connects the storage layer, which knows no Qt, to the program at start-up:
// its warnings become plain message boxes of the user-interaction service
// (application title, no icon, OK), and it learns the short date format of
// the program's locale (the system's, U.S. English for the C locale), in
// which date fields are read and written. A file's path goes into the
// messages of the storage layer and core/ in Windows-1252 like the rest of
// them, so that a name with accents is shown as it is.
void connectStorageLayer();

// The system's short date format as the storage layer can read it back: a
// format that names the month (the C locale's "d MMM yyyy") has the month
// in two digits and "/" between the parts instead, since a date field is
// read from numbers only. Numeric formats come back unchanged.
std::string numericShortDateFormat(const QString& systemFormat);

}  // namespace kestrel
