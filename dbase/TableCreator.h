#pragma once

#include <string>
#include <vector>

#include "dbase/FieldDescriptor.h"

namespace kestrel {

// Writes a new, empty table at `path` (replacing a file of that name): the
// header with today's date and count 0, then the end-of-file byte; with a memo
// field also the empty memo file beside it (extension DBT). On failure nothing
// is left behind and ETableError is thrown with the system's code.
void createTableFile(const std::string& path, const std::vector<FieldDescriptor>& fields);

// `path` with ".DBF" added when its file name has no extension and does not
// end in "." (".dbf" when only a file with that extension exists).
std::string withTableExtension(const std::string& path);

}  // namespace kestrel
