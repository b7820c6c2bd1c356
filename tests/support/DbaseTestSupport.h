#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "dbase/DateText.h"
#include "dbase/TTzDbf.h"
#include "dbase/TableWarnings.h"

namespace kestrel::test {

// A fresh folder per test, removed afterwards.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  std::string file(const std::string& name) const { return (m_path / name).string(); }
  const std::filesystem::path& path() const { return m_path; }

 private:
  std::filesystem::path m_path;
};

std::string readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);

// Runs a shell command; returns its exit status and standard output.
std::pair<int, std::string> runCommand(const std::string& command);
std::string shellQuote(const std::string& text);

// The pages pdftotext -layout reads out of a PDF file, each up to its form
// feed (what follows the last one is no page). A failing pdftotext fails the
// test.
std::vector<std::string> pdfPages(const std::string& pdfPath);

// Collects the storage layer's warnings for the lifetime of the object.
class WarningRecorder {
 public:
  WarningRecorder();
  ~WarningRecorder();
  const std::vector<std::string>& texts() const { return m_texts; }

 private:
  std::vector<std::string> m_texts;
};

// Every record of a table as python3-dbfread reads it, one line each: the
// deleted mark ("*" or empty), then the values joined by "|". Deleted records
// come after the others. Runs the script from the folder given.
std::string readWithDbfread(const std::string& tablePath, const std::string& scriptFolder);

// The MailingLog field list of the program.
std::vector<std::string> mailingLogFields();
std::vector<std::string> addressBookFields();

// American four-digit format for every test that does not choose its own.
class DbaseTest : public ::testing::Test {
 protected:
  void SetUp() override { SetProgramDateFormat("M/d/yyyy"); }
  TempDir m_dir;
};

// Tests of the program's mailing log: "report3.dbf" with the log's fields in
// the test's folder.
class MailingLogTest : public DbaseTest {
 protected:
  std::string logPath() const { return m_dir.file("report3.dbf"); }
  void openLog(TTzDbf& table) {
    table.SetDbfFileName(logPath());
    table.SetDbfFields(mailingLogFields());
    table.Open();
  }
};

}  // namespace kestrel::test
