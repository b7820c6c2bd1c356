#include "core/ProfileFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "dbase/AsciiText.h"

namespace kestrel {
namespace {

// Section names, keys and values lose the spaces and tabs around them; other
// control characters belong to them.
std::string trimSpacesAndTabs(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The section name of a "[name]" line, or nothing for any other line.
std::optional<std::string> sectionName(const std::string& line) {
  const std::string text = trimSpacesAndTabs(line);
  if (text.empty() || text.front() != '[') return std::nullopt;
  const std::size_t close = text.find(']');
  if (close == std::string::npos) return std::nullopt;
  return trimSpacesAndTabs(text.substr(1, close - 1));
}

struct Entry {
  std::string key;
  std::string value;
};

// The key and raw value of a "key=value" line; section lines are not entries.
std::optional<Entry> entryOf(const std::string& line) {
  if (sectionName(line)) return std::nullopt;
  const std::size_t equals = line.find('=');
  if (equals == std::string::npos) return std::nullopt;
  return Entry{trimSpacesAndTabs(line.substr(0, equals)), line.substr(equals + 1)};
}

std::optional<int> parseWholeNumber(const std::string& text) {
  if (text.empty()) return std::nullopt;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    unsigned long long value = 0;
    for (std::size_t i = 2; i < text.size(); ++i) {
      const char c = asciiLower(text[i]);
      int digit;
      if (c >= '0' && c <= '9') {
        digit = c - '0';
      } else if (c >= 'a' && c <= 'f') {
        digit = c - 'a' + 10;
      } else {
        return std::nullopt;
      }
      value = value * 16 + static_cast<unsigned>(digit);
      if (value > 0xFFFFFFFFull) return std::nullopt;
    }
    // Eight hexadecimal digits are a 32-bit pattern, as a C cast would read them.
    return static_cast<int>(static_cast<unsigned int>(value));
  }
  std::size_t i = 0;
  const bool negative = text[0] == '-';
  if (text[0] == '-' || text[0] == '+') i = 1;
  if (i == text.size()) return std::nullopt;
  long long value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT_MAX || value < INT_MIN) return std::nullopt;
  return static_cast<int>(value);
}

bool writeInPlace(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out << bytes;
  out.flush();
  return static_cast<bool>(out);
}

}  // namespace

ProfileFile ProfileFile::load(const std::string& path) {
  // A folder in the file's place, or a file that fails while being read,
  // counts as missing: every entry then takes its default.
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return {};
  try {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return fromText(bytes);
  } catch (const std::ios_base::failure&) {
    return {};
  }
}

ProfileFile ProfileFile::fromText(const std::string& bytes) {
  ProfileFile file;
  std::size_t start = 0;
  // An editor that saves as UTF-8 may put a byte-order mark first; read as
  // part of the first line it would hide that line's section. It is kept, so
  // that the file is written back as it was.
  if (bytes.starts_with(kUtf8ByteOrderMark)) {
    file.m_byteOrderMark = kUtf8ByteOrderMark;
    start = file.m_byteOrderMark.size();
  }
  while (start < bytes.size()) {
    std::size_t end = start;
    while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') ++end;
    Line line{bytes.substr(start, end - start), {}};
    if (end < bytes.size()) {
      const bool crlf = bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n';
      line.ending = bytes.substr(end, crlf ? 2 : 1);
    }
    start = end + line.ending.size();
    file.m_lines.push_back(std::move(line));
  }
  return file;
}

std::optional<std::size_t> ProfileFile::findSection(const std::string& section) const {
  for (std::size_t i = 0; i < m_lines.size(); ++i) {
    const auto name = sectionName(m_lines[i].content);
    if (name && sameAsciiName(*name, section)) return i;
  }
  return std::nullopt;
}

std::optional<std::size_t> ProfileFile::findKey(std::size_t sectionLine,
                                                const std::string& key) const {
  for (std::size_t i = sectionLine + 1; i < m_lines.size(); ++i) {
    if (sectionName(m_lines[i].content)) break;
    const auto entry = entryOf(m_lines[i].content);
    if (entry && sameAsciiName(entry->key, key)) return i;
  }
  return std::nullopt;
}

std::optional<std::string> ProfileFile::find(const std::string& section,
                                             const std::string& key) const {
  const auto sectionLine = findSection(section);
  if (!sectionLine) return std::nullopt;
  const auto keyLine = findKey(*sectionLine, key);
  if (!keyLine) return std::nullopt;
  std::string value = trimSpacesAndTabs(entryOf(m_lines[*keyLine].content)->value);
  if (value.size() > kMaxValueLength) value.resize(kMaxValueLength);
  return value;
}

std::string ProfileFile::readString(const std::string& section, const std::string& key,
                                    const std::string& fallback) const {
  return find(section, key).value_or(fallback);
}

int ProfileFile::readInt(const std::string& section, const std::string& key, int fallback) const {
  const auto value = find(section, key);
  if (!value) return fallback;
  return parseWholeNumber(*value).value_or(fallback);
}

bool ProfileFile::readBool(const std::string& section, const std::string& key,
                           bool fallback) const {
  return readInt(section, key, fallback ? 1 : 0) != 0;
}

void ProfileFile::writeString(const std::string& section, const std::string& key,
                              const std::string& value) {
  std::string singleLine = value;
  for (char& c : singleLine) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  const auto sectionLine = findSection(section);
  if (!sectionLine) {
    if (!m_lines.empty() && m_lines.back().ending.empty()) m_lines.back().ending = "\r\n";
    m_lines.push_back({"[" + section + "]", "\r\n"});
    m_lines.push_back({key + "=" + singleLine, "\r\n"});
    return;
  }
  if (const auto keyLine = findKey(*sectionLine, key)) {
    Line& line = m_lines[*keyLine];
    line.content = entryOf(line.content)->key + "=" + singleLine;
    return;
  }
  // After the section's last non-blank line, so that blank lines separating
  // it from the next section stay where they are.
  std::size_t last = *sectionLine;
  for (std::size_t i = *sectionLine + 1; i < m_lines.size(); ++i) {
    if (sectionName(m_lines[i].content)) break;
    if (!trimSpacesAndTabs(m_lines[i].content).empty()) last = i;
  }
  if (m_lines[last].ending.empty()) m_lines[last].ending = "\r\n";
  m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(last) + 1,
                 Line{key + "=" + singleLine, "\r\n"});
}

void ProfileFile::writeInt(const std::string& section, const std::string& key, int value) {
  writeString(section, key, std::to_string(value));
}

void ProfileFile::writeBool(const std::string& section, const std::string& key, bool value) {
  writeString(section, key, value ? "1" : "0");
}

std::string ProfileFile::text() const {
  std::string bytes = m_byteOrderMark;
  for (const Line& line : m_lines) bytes += line.content + line.ending;
  return bytes;
}

bool ProfileFile::save(const std::string& path) const {
  // A file that exists but may not be written stays as it is, even though the
  // folder would let us replace it.
  if (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0) return false;
  const std::string temporary = path + "." + std::to_string(::getpid()) + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << text();
    out.flush();
    if (!out) {
      out.close();
      std::remove(temporary.c_str());
      return false;
    }
  }
  // Every user who prints shares the settings file: the group of the shared
  // machine folder may rewrite it, no one else.
  ::chmod(temporary.c_str(), 0664);
  if (std::rename(temporary.c_str(), path.c_str()) == 0) return true;
  std::remove(temporary.c_str());
  // A folder that lets us create files but not replace another user's (the
  // sticky bit) still lets us write the shared file itself.
  return writeInPlace(path, text());
}

}  // namespace kestrel
