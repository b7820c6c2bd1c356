#pragma once

#include <QString>
#include <string>

namespace kestrel {

// A file's path between the program's std::string (the file system's bytes,
// as the storage layer, core/ and the system calls take it) and Qt's text:
// QFile's decodeName and encodeName, the file system's encoding (UTF-8 on
// Linux). Every path that crosses between the two goes through this pair, so
// that "/tmp/Adressen-Müller.dbf" stays itself on both sides. A path that
// goes into a message of the storage layer or core/ is spelled there by
// messagePath (dbase/MessagePath.h), which connectStorageLayer points here.
QString fromLocalPath(const std::string& path);
std::string toLocalPath(const QString& path);

}  // namespace kestrel
