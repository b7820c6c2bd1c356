#include "report/ReportSpool.h"

#include <QDir>

#include "platform/AnsiText.h"
#include "report/ReportError.h"

namespace kestrel {

namespace {

// Records go to the file in pieces of this size, not one write per record.
constexpr std::size_t kFlushBytes = 1 << 20;

[[noreturn]] void throwSpool(const QTemporaryFile& file, const char* doing) {
  // The report's messages are Windows-1252 text, like every message of the core.
  throw ReportError(std::string("The report's work file \"") + toAnsi(file.fileName()) +
                    "\" cannot be " + doing + ": " + toAnsi(file.errorString()) + ".");
}

void putLength(std::string& out, std::size_t length) {
  const auto n = static_cast<std::uint32_t>(length);
  for (int i = 0; i < 4; ++i) out += static_cast<char>((n >> (8 * i)) & 0xFF);
}

std::uint32_t getLength(const char* in) {
  std::uint32_t n = 0;
  for (int i = 0; i < 4; ++i)
    n |= static_cast<std::uint32_t>(static_cast<unsigned char>(in[i])) << (8 * i);
  return n;
}

}  // namespace

ReportSpool::ReportSpool() : m_file(QDir::tempPath() + QStringLiteral("/kestrel-report-XXXXXX")) {
  if (!m_file.open()) throwSpool(m_file, "made");
}

void ReportSpool::append(const std::vector<std::string>& texts) {
  putLength(m_buffer, texts.size());
  for (const std::string& text : texts) {
    putLength(m_buffer, text.size());
    m_buffer += text;
  }
  if (m_buffer.size() >= kFlushBytes) finish();
}

std::size_t ReportSpool::mark() {
  m_marks.push_back(m_end + static_cast<std::int64_t>(m_buffer.size()));
  return m_marks.size() - 1;
}

void ReportSpool::finish() {
  if (m_buffer.empty()) return;
  if (!m_file.seek(m_end)) throwSpool(m_file, "written");
  const qint64 written = m_file.write(m_buffer.data(), static_cast<qint64>(m_buffer.size()));
  if (written != static_cast<qint64>(m_buffer.size()) || !m_file.flush())
    throwSpool(m_file, "written");
  m_end += written;
  m_buffer.clear();
}

std::vector<std::vector<std::string>> ReportSpool::read(std::size_t markNumber, std::size_t count) {
  finish();
  std::vector<std::vector<std::string>> records;
  // A mark's records (to the next mark, or the end) are read at once and
  // taken apart in memory; a page is one mark's records.
  std::string bytes;
  for (std::size_t mark = markNumber; mark < m_marks.size() && records.size() < count; ++mark) {
    const std::int64_t from = m_marks[mark];
    const std::int64_t to = mark + 1 < m_marks.size() ? m_marks[mark + 1] : m_end;
    bytes.resize(static_cast<std::size_t>(to - from));
    if (!m_file.seek(from) || m_file.read(bytes.data(), static_cast<qint64>(bytes.size())) !=
                                  static_cast<qint64>(bytes.size()))
      throwSpool(m_file, "read");
    std::size_t at = 0;
    const auto length = [&] {
      if (bytes.size() - at < 4) throwSpool(m_file, "read");
      const std::uint32_t n = getLength(bytes.data() + at);
      at += 4;
      return n;
    };
    while (records.size() < count && at < bytes.size()) {
      std::vector<std::string> texts(length());
      for (std::string& text : texts) {
        const std::uint32_t n = length();
        if (bytes.size() - at < n) throwSpool(m_file, "read");
        text.assign(bytes, at, n);
        at += n;
      }
      records.push_back(std::move(texts));
    }
  }
  return records;
}

}  // namespace kestrel
