#pragma once

#include <QString>
#include <optional>

#include "mailer/PrintRequest.h"

namespace kestrel::render {

// Reads a print request written as text: the 28 slots in order, one a line,
// Windows-1252 bytes, lines ended by CR LF or LF (the last line end may be
// missing, and empty lines after the 28th are ignored). Returns nothing and
// sets `error` when the file cannot be read or holds another number of lines.
std::optional<PrintRequest> readRequestFile(const QString& path, QString& error);

}  // namespace kestrel::render
