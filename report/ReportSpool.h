#pragma once

#include <QTemporaryFile>
#include <cstdint>
#include <string>
#include <vector>

namespace kestrel {

// The texts of a report's records, kept in a temporary file while the report
// is shown or printed, so that memory stays flat however long the report is:
// a page is read back when it is drawn. Records are written in order; every
// `mark` remembers where a record starts, so that a page is found with one
// seek.
class ReportSpool {
 public:
  ReportSpool();

  // Appends one record's texts. Throws ReportError when the file cannot be
  // written whole.
  void append(const std::vector<std::string>& texts);
  // Remembers where the next record will start; returns the mark's number.
  std::size_t mark();
  // Ends writing: flushes and checks the file.
  void finish();

  // Reads `count` records (fewer at the end) from the mark's record on.
  std::vector<std::vector<std::string>> read(std::size_t markNumber, std::size_t count);

 private:
  QTemporaryFile m_file;
  std::vector<std::int64_t> m_marks;
  std::int64_t m_end = 0;
  std::string m_buffer;  // records not yet written to the file
};

}  // namespace kestrel
