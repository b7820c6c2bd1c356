#pragma once

#include <cstdint>
#include <istream>
#include <string>

namespace kestrel {

// Reads a text file line by line as the platform's text files are read: a
// line ends at a line feed or at a carriage return followed by a line feed,
// a carriage return not followed by a line feed is dropped, and the
// character 26 (Ctrl-Z) ends the file. A last line without a line end is
// read; the end of the file after a line end adds no empty line.
//
// A file that begins with the UTF-8 byte-order mark (as spreadsheets write
// them) is marked as such, and the mark is not part of the first line; the
// lines themselves are handed out as bytes, the caller converts them.
class TextLineReader {
 public:
  // Reads from `in`, which the caller keeps open while the reader is used.
  explicit TextLineReader(std::istream& in);

  // The next line without its line end; false at the end of the file.
  // Throws std::runtime_error when the stream fails other than at its end.
  bool next(std::string& line);

  bool startsWithUtf8Mark() const { return m_utf8; }
  // Bytes consumed so far, for progress.
  std::uint64_t bytesRead() const { return m_consumed; }

 private:
  bool fill();

  std::istream& m_in;
  std::string m_buffer;
  std::size_t m_pos = 0;
  bool m_ended = false;  // Ctrl-Z seen or the stream is exhausted
  bool m_utf8 = false;
  std::uint64_t m_consumed = 0;
};

}  // namespace kestrel
