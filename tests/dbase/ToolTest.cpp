// kestrel-dbf as users and scripts call it.
#include <gtest/gtest.h>

#include <filesystem>

#include "DbaseTestSupport.h"
#include "TestPaths.h"
#include "dbase/TTzDbf.h"

namespace kestrel::test {
namespace {

class ToolTest : public DbaseTest {
 protected:
  std::pair<int, std::string> tool(const std::string& args, const std::string& input = "") {
    std::string command = std::string(kBinaryDir) + "/tools/dbf/kestrel-dbf " + args;
    if (!input.empty()) command = "printf '%s' " + shellQuote(input) + " | " + command;
    return runCommand(command + " 2>&1");
  }
};

TEST_F(ToolTest, CreateAppendDumpAndInfo) {
  const std::string path = shellQuote(m_dir.file("book.dbf"));
  EXPECT_EQ(tool("create " + path + " address,M,10,0 city,C,35,0 when,D,10,0 n,N,6,2").first, 0);
  EXPECT_EQ(tool("create " + path + " a,C,1,0").first, 1);  // never replaces a table
  auto [status, output] = tool("append " + path,
                               "\"Jane Doe\r\n12 Main St, Apt 4\",Z\xC3\xBCrich,12/8/2026,3.5\n"
                               "Bob,\"Say \"\"hi\"\"\",,\r\n");
  EXPECT_EQ(status, 0) << output;
  std::tie(status, output) = tool("dump " + path);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(output,
            ",\"Jane Doe\r\n12 Main St, Apt 4\",Z\xC3\xBCrich,20261208,3.50\r\n"
            ",Bob,\"Say \"\"hi\"\"\",,\r\n");
  std::tie(status, output) = tool("info " + path);
  EXPECT_EQ(output,
            "version: 0x8B\nrecords: 2\nheader length: 161\nrecord length: 60\nfields: 4\n"
            "  ADDRESS,M,10,0\n  CITY,C,35,0\n  WHEN,D,8,0\n  N,N,6,2\n");
}

TEST_F(ToolTest, DumpInOrderAppendFromAndPack) {
  const std::string book = shellQuote(m_dir.file("book.dbf"));
  const std::string other = shellQuote(m_dir.file("other.dbf"));
  ASSERT_EQ(tool("create " + book + " city,C,5,0 n,N,4,0").first, 0);
  ASSERT_EQ(tool("append " + book, "c,3\na,1\nb,2\na,0\n").first, 0);
  auto [status, output] = tool("dump " + book + " --order city");
  EXPECT_EQ(status, 0) << output;
  EXPECT_EQ(output, ",a,1\r\n,a,0\r\n,b,2\r\n,c,3\r\n");
  EXPECT_EQ(tool("dump " + book + " --order N").second, ",a,0\r\n,a,1\r\n,b,2\r\n,c,3\r\n");
  EXPECT_TRUE(std::filesystem::exists(m_dir.path() / "city.MDX"));
  EXPECT_EQ(tool("dump " + book + " --order nosuch").first, 1);

  ASSERT_EQ(tool("create " + other + " city,C,5,0 zip,C,5,0").first, 0);
  ASSERT_EQ(tool("append " + other, "d,12345\n").first, 0);
  std::tie(status, output) = tool("append-from " + book + " " + other);
  EXPECT_EQ(status, 0) << output;
  EXPECT_EQ(tool("dump " + book).second, ",c,3\r\n,a,1\r\n,b,2\r\n,a,0\r\n,d,\r\n");
  EXPECT_EQ(tool("append-from " + book + " " + book).first, 1);

  {
    TTzDbf table("table");
    table.SetDbfFileName(m_dir.file("book.dbf"));
    table.Open();
    table.First();
    table.Delete();
    // While this process has the table open, the pack is refused.
    std::tie(status, output) = tool("pack " + book);
    EXPECT_EQ(status, 3) << output;
  }
  std::tie(status, output) = tool("pack " + book);
  EXPECT_EQ(status, 0) << output;
  EXPECT_EQ(tool("dump " + book).second, ",a,1\r\n,b,2\r\n,a,0\r\n,d,\r\n");
}

TEST_F(ToolTest, ErrorsPrintTheTableErrorWithStatusOne) {
  auto [status, output] = tool("info " + shellQuote(m_dir.file("missing.dbf")));
  EXPECT_EQ(status, 1);
  EXPECT_EQ(output,
            "Error # 2 (File not found)\r\nCannot open " + m_dir.file("missing.dbf") + " [USE]\n");
  writeBytes(m_dir.file("bad.dbf"), std::string(40, '\x30'));
  std::tie(status, output) = tool("dump " + shellQuote(m_dir.file("bad.dbf")));
  EXPECT_EQ(status, 1);
  EXPECT_NE(output.find("Error # 210 (Not a dBASE data file)"), std::string::npos);
  EXPECT_EQ(tool("create " + shellQuote(m_dir.file("t.dbf")) + " d,D,8,0").first, 0);
  std::tie(status, output) = tool("append " + shellQuote(m_dir.file("t.dbf")), "2/30/2026\n");
  EXPECT_EQ(status, 1);
  EXPECT_EQ(output, "'2/30/2026' is not a valid date\n");
  EXPECT_EQ(tool("frobnicate x").first, 2);
}

TEST_F(ToolTest, AppendBatchWaitsForTheLockAndGoesInWholeOrNotAtAll) {
  const std::string book = shellQuote(m_dir.file("book.dbf"));
  const std::string dbf = std::string(kBinaryDir) + "/tools/dbf/kestrel-dbf ";
  ASSERT_EQ(tool("create " + book + " name,C,10,0").first, 0);
  // Another process holds the append lock for a while; the batch starts once
  // it has it ("locked" is its first line).
  const auto appendWhileHeld = [&](const char* seconds) {
    return runCommand("(" + dbf + "hold-lock " + book + " " + seconds +
                      " | (read line; printf 'a\\nb\\nc\\n' | " + dbf + "append " + book +
                      ")) 2>&1");
  };
  auto [status, output] = appendWhileHeld("0.3");
  EXPECT_EQ(status, 0) << output;
  EXPECT_EQ(tool("dump " + book).second, ",a\r\n,b\r\n,c\r\n");
  std::tie(status, output) = appendWhileHeld("2");
  EXPECT_EQ(status, 3) << output;
  EXPECT_EQ(output, "append lock refused: " + m_dir.file("book.dbf") + "\n");
  EXPECT_EQ(tool("dump " + book).second, ",a\r\n,b\r\n,c\r\n");
  EXPECT_EQ(tool("info " + book).second.substr(0, 28), "version: 0x03\nrecords: 3\nhea");
}

TEST_F(ToolTest, NameWithoutExtensionFindsALowerCaseDbf) {
  ASSERT_EQ(tool("create " + shellQuote(m_dir.file("lower.dbf")) + " name,C,10,0").first, 0);
  ASSERT_EQ(tool("append " + shellQuote(m_dir.file("lower")), "Ada\n").first, 0);
  EXPECT_EQ(tool("dump " + shellQuote(m_dir.file("lower"))).second, ",Ada\r\n");
  EXPECT_FALSE(std::filesystem::exists(m_dir.file("lower.DBF")));
  // A new table still gets the upper-case extension.
  ASSERT_EQ(tool("create " + shellQuote(m_dir.file("fresh")) + " name,C,10,0").first, 0);
  EXPECT_TRUE(std::filesystem::exists(m_dir.file("fresh.DBF")));
}

}  // namespace
}  // namespace kestrel::test
