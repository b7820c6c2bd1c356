#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// A Windows private profile ("INI") file of our own making, with the rules
// the settings file relies on:
// - "[name]" opens a section, "key=value" is an entry of the section above it;
//   every other line (comments, text before the first section, junk) is kept
//   but never matched.
// - Section and key names match without regard to ASCII letter case; the
//   first matching section and the first matching key win.
// - Read values lose their leading and trailing blanks and are cut to 2047
//   characters.
// - Writing replaces an entry in place (keeping its stored name), or adds it
//   after the last line of its section, or adds the section at the end of the
//   file. Every other line stays byte for byte, with its own line end.
// - A UTF-8 byte-order mark at the start is skipped when reading and kept.
// Text is Windows-1252 bytes; new lines end in CR LF.
class ProfileFile {
 public:
  static constexpr std::size_t kMaxValueLength = 2047;

  ProfileFile() = default;
  // The file's content; a missing or unreadable file reads as empty.
  static ProfileFile load(const std::string& path);
  static ProfileFile fromText(const std::string& bytes);

  // The trimmed, length-limited value, or nothing when the entry is absent.
  std::optional<std::string> find(const std::string& section, const std::string& key) const;
  std::string readString(const std::string& section, const std::string& key,
                         const std::string& fallback) const;
  // Decimal with an optional sign, or 0x/0X and hexadecimal digits; anything
  // else, and a value outside 32 bits, gives the fallback.
  int readInt(const std::string& section, const std::string& key, int fallback) const;
  // A whole number other than 0 is true; a value that is not one gives the fallback.
  bool readBool(const std::string& section, const std::string& key, bool fallback) const;

  // Line breaks inside a value would split the entry, so they become blanks.
  void writeString(const std::string& section, const std::string& key, const std::string& value);
  void writeInt(const std::string& section, const std::string& key, int value);
  void writeBool(const std::string& section, const std::string& key, bool value);

  // The file's bytes as they would be written.
  std::string text() const;
  // Replaces the file as a whole: a failed write leaves the old file intact.
  // Returns false when the file could not be written.
  bool save(const std::string& path) const;

 private:
  struct Line {
    std::string content;  // without its line end
    std::string ending;   // "\r\n", "\n", "\r" or "" for a last line without one
  };

  std::optional<std::size_t> findSection(const std::string& section) const;
  // The line of the key within the section that starts at sectionLine.
  std::optional<std::size_t> findKey(std::size_t sectionLine, const std::string& key) const;

  static constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

  std::string m_byteOrderMark;  // empty, or the UTF-8 mark the file began with
  std::vector<Line> m_lines;
};

}  // namespace kestrel
