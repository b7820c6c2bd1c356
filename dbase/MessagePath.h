#pragma once

#include <string>

namespace kestrel {

// A file's path as the program's messages spell it. The messages of the
// storage layer and core/ are the program's Windows-1252 text, a path is the
// file system's bytes (UTF-8 on Linux): "Adressen-Müller.dbf" put into a
// message as it is would be shown as "Adressen-MÃ¼ller.dbf". Every path goes
// into such a message through messagePath; the program hands in its
// conversion once at start-up, and a tool or test without one keeps the
// path's bytes. Header only, so that core/ links nothing of dbase/.
using MessagePathSpelling = std::string (*)(const std::string& path);

namespace message_path_detail {

inline MessagePathSpelling& spelling() {
  static MessagePathSpelling current = nullptr;
  return current;
}

}  // namespace message_path_detail

// Installs the conversion; nullptr restores the path's own bytes.
inline void SetMessagePathSpelling(MessagePathSpelling spelling) {
  message_path_detail::spelling() = spelling;
}

inline std::string messagePath(const std::string& path) {
  const MessagePathSpelling spelling = message_path_detail::spelling();
  return spelling ? spelling(path) : path;
}

}  // namespace kestrel
