#pragma once

#include <string>

namespace kestrel {

// Whether the file at `path` is a PDF that was written to its end: a regular
// file whose last "startxref" names a cross-reference table inside the file,
// followed by "%%EOF", and whose every in-use entry points at the start of
// the object it numbers.
//
// Qt's PDF writer reports no write error of its own: on a full disk it
// leaves a file that stops short, or has holes where writes failed, and
// still ends the painter successfully. Every object offset is known to the
// table, so a file that passes this check holds every byte the writer
// meant to put there, at its place.
bool isCompletePdf(const std::string& path);

// Removes a print job's output file that failed the check, so that no
// unreadable file is left behind as if it were a printout. Devices and other
// special files (such as /dev/full) are never removed.
void removePartialOutput(const std::string& path) noexcept;

}  // namespace kestrel
