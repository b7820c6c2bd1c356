#include "addresses/TextLineReader.h"

#include <stdexcept>

namespace kestrel {

namespace {
// Read in pieces, so that a file of any size and a line of megabytes take
// no more memory than the line itself.
constexpr std::size_t kPieceSize = 1 << 16;
constexpr char kCtrlZ = 26;
constexpr const char* kUtf8Mark = "\xEF\xBB\xBF";
}  // namespace

TextLineReader::TextLineReader(std::istream& in) : m_in(in) {
  fill();
  if (m_buffer.compare(0, 3, kUtf8Mark) == 0) {
    m_utf8 = true;
    m_pos = 3;
    m_consumed = 3;
  }
}

bool TextLineReader::fill() {
  if (m_ended) return false;
  m_buffer.erase(0, m_pos);
  m_pos = 0;
  const std::size_t kept = m_buffer.size();
  m_buffer.resize(kept + kPieceSize);
  m_in.read(m_buffer.data() + kept, static_cast<std::streamsize>(kPieceSize));
  const auto got = static_cast<std::size_t>(m_in.gcount());
  m_buffer.resize(kept + got);
  if (m_in.bad()) throw std::runtime_error("The text file could not be read.");
  if (got == 0) {
    m_ended = true;
    return false;
  }
  return true;
}

bool TextLineReader::next(std::string& line) {
  line.clear();
  for (;;) {
    if (m_pos == m_buffer.size() && !fill()) return !line.empty();
    const char c = m_buffer[m_pos];
    if (c == kCtrlZ) {
      m_ended = true;
      m_buffer.clear();
      m_pos = 0;
      return !line.empty();
    }
    ++m_pos;
    ++m_consumed;
    if (c == '\n') return true;
    if (c == '\r') {
      // A carriage return counts only as the first half of CR LF.
      if (m_pos == m_buffer.size()) fill();
      if (m_pos < m_buffer.size() && m_buffer[m_pos] == '\n') {
        ++m_pos;
        ++m_consumed;
        return true;
      }
      continue;
    }
    line += c;
  }
}

}  // namespace kestrel
