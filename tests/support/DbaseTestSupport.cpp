#include "DbaseTestSupport.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "TestPaths.h"

namespace kestrel::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kestrel-dbase-XXXXXX").string();
  char* made = ::mkdtemp(pattern.data());
  if (made == nullptr) throw std::runtime_error("mkdtemp failed");
  m_path = made;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(m_path, ignored);
}

std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::pair<int, std::string> runCommand(const std::string& command) {
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return {-1, std::string()};
  std::string output;
  std::array<char, 4096> buffer{};
  while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe))
    output.append(buffer.data(), n);
  int status = ::pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

std::string shellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

std::vector<std::string> pdfPages(const std::string& pdfPath) {
  auto [status, text] = runCommand("pdftotext -layout " + shellQuote(pdfPath) + " - 2>&1");
  EXPECT_EQ(status, 0) << text;
  std::vector<std::string> pages;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\f', start)) != std::string::npos; start = end + 1)
    pages.push_back(text.substr(start, end - start));
  return pages;
}

WarningRecorder::WarningRecorder() {
  SetWarningHandler(
      [this](const std::string&, const std::string& text) { m_texts.push_back(text); });
}

WarningRecorder::~WarningRecorder() {
  SetWarningHandler(nullptr);
}

std::vector<std::string> mailingLogFields() {
  return {"sentname0,C,30,0", "sentname1,C,30,0", "sentname2,C,30,0", "sentname3,C,30,0",
          "city,C,35,0",      "state,C,4,0",      "zip,C,10,0",       "rdate,D,10,0",
          "mailernum,C,27,0", "postage,C,15,0",   "certified,C,15,0", "restricted,C,15,0",
          "return,C,15,0",    "total,C,15,0",     "comments,C,35,0",  "re,C,25,0"};
}

std::vector<std::string> addressBookFields() {
  return {"address,M,10,0", "city,C,35,0", "state,C,2,0", "zip,C,10,0"};
}

std::string readWithDbfread(const std::string& tablePath, const std::string& scriptFolder) {
  // The reader takes a dBASE IV memo's stored length (which counts the 8-byte
  // block header) as the text's length, so the zero bytes it reads past the
  // text are dropped.
  static constexpr const char* kScript = R"(
import sys, dbfread
t = dbfread.DBF(sys.argv[1], encoding='cp437', load=True)
for flag, records in (('', t.records), ('*', t.deleted)):
    for r in records:
        print('|'.join([flag] + [str(v).strip('\x00 ') for v in r.values()]))
)";
  const std::string script = scriptFolder + "/read_with_dbfread.py";
  writeBytes(script, kScript);
  auto [status, output] = runCommand(std::string(kSystemPython) + " " + shellQuote(script) + " " +
                                     shellQuote(tablePath) + " 2>&1");
  EXPECT_EQ(status, 0) << output;
  return output;
}

}  // namespace kestrel::test
