#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// The parts of a file's path, through std::filesystem::path, for the storage
// layer and core/ (header only, so core/ links nothing of dbase/).
//
// One rule differs from std::filesystem: a file name whose only dot leads it
// (".dbf") is an empty name with an extension, as the system the tables come
// from reads it, where std::filesystem takes it for a hidden file's name
// without extension. Companion files (the memo, the index, the semaphore)
// are named by that rule, so a table ".dbf" keeps its memo ".DBT".

namespace kestrel {

namespace filepath_detail {

inline bool isDotFileName(const std::filesystem::path& name) {
  const std::string& text = name.native();
  return text.size() > 1 && text.front() == '.' && text.find('.', 1) == std::string::npos;
}

}  // namespace filepath_detail

// The folder a file lies in: "." for a bare file name, "/" for a file in the
// root folder.
inline std::string folderOf(const std::string& path) {
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  return folder.empty() ? std::string(".") : folder.string();
}

// The file's name: what follows the last separator ("" when the path ends
// in one).
inline std::string fileNameOf(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

// The file's name without its extension.
inline std::string stemOf(const std::string& path) {
  const std::filesystem::path name = std::filesystem::path(path).filename();
  return filepath_detail::isDotFileName(name) ? std::string() : name.stem().string();
}

// The path with the file name's extension replaced by `extension` (which
// starts with its dot, ".DBT"), or with it added when the name has none.
inline std::string withExtension(const std::string& path, std::string_view extension) {
  std::filesystem::path result(path);
  if (filepath_detail::isDotFileName(result.filename())) {
    result.replace_filename(std::filesystem::path(extension));
  } else {
    result.replace_extension(std::filesystem::path(extension));
  }
  return result.string();
}

// The path of the file `name` in the folder of `path`.
inline std::string pathBeside(const std::string& path, const std::string& name) {
  return std::filesystem::path(path).replace_filename(name).string();
}

}  // namespace kestrel
