// Memo fields as lists of lines (GetMField/SetMField) and as memo streams.
#include <gtest/gtest.h>

#include "DbaseTestSupport.h"
#include "dbase/EInOutError.h"
#include "dbase/ETableError.h"
#include "dbase/MemoFile.h"
#include "dbase/TTzDbf.h"

namespace kestrel::test {
namespace {

using Lines = std::vector<std::string>;

class MemoFieldTest : public DbaseTest {
 protected:
  void SetUp() override {
    DbaseTest::SetUp();
    m_table.SetDbfFileName(m_dir.file("book.dbf"));
    m_table.SetDbfFields({"address,M,10,0", "city,C,10,0", "amount,N,8,2"});
    m_table.SetExclusive(true);
    m_table.Open();
    m_table.Insert();
    m_table.SetFieldText("city", "x");
    m_table.Post();
  }
  std::string memoBytes() {
    return readBytes(MemoFile::memoPathFor(m_dir.file("book.dbf"), MemoLayout::Dbase4));
  }
  // Stores the list, writes the record and reads the lines back.
  Lines roundTrip(const Lines& items) {
    m_table.SetMField("address", items);
    m_table.Post();
    m_table.Refresh();
    Lines lines{"left over"};
    m_table.GetMField("ADDRESS", lines);
    return lines;
  }
  // The memo's stored bytes, checked against its block header's length.
  std::string lastMemo() {
    const std::string bytes = memoBytes();
    const std::size_t start = bytes.rfind(std::string("\xFF\xFF\x08\x00", 4));
    EXPECT_NE(start, std::string::npos);
    const std::uint32_t length = static_cast<unsigned char>(bytes[start + 4]) |
                                 static_cast<unsigned char>(bytes[start + 5]) << 8;
    EXPECT_EQ(start + length, bytes.size());
    return bytes.substr(start + 8, length - 8);
  }
  TTzDbf m_table;
};

TEST_F(MemoFieldTest, NoMemoGivesAnEmptyList) {
  Lines lines{"left over"};
  m_table.GetMField("address", lines);
  EXPECT_TRUE(lines.empty());
}

TEST_F(MemoFieldTest, ItemsBecomeLinesAndLineBreaksInItemsGiveEmptyLines) {
  EXPECT_EQ(roundTrip({"A", "B"}), (Lines{"A", "B"}));
  EXPECT_EQ(lastMemo(), "A\r\nB\r\n");
  EXPECT_EQ(roundTrip({"A\n\r", "B\n\r"}), (Lines{"A", "", "B"}));
  EXPECT_EQ(lastMemo(), "A\r\n\r\nB\r\n");
  // A line feed alone is dropped, not a line end.
  EXPECT_EQ(roundTrip({"x\ny"}), (Lines{"xy"}));
}

TEST_F(MemoFieldTest, LongItemsAreCutIntoPiecesAndLinesOf254) {
  const std::string item(600, 'q');
  roundTrip({item});
  // Pieces of 255, 255 and 90: each full piece gives a line of 254 and
  // starts the next with its last character.
  EXPECT_EQ(lastMemo(), std::string(254, 'q') + "\r\nq\r\n" + std::string(254, 'q') + "\r\n" +
                            std::string(91, 'q') + "\r\n");
  // A stored line of 254 reads back wrapped after its last blank within 253.
  const std::string words = std::string(200, 'a') + " " + std::string(53, 'b');
  EXPECT_EQ(roundTrip({words}), (Lines{std::string(200, 'a') + " ", std::string(53, 'b')}));
}

TEST_F(MemoFieldTest, MoreThan1024LinesFailWithTheIoErrorAndStoreNothing) {
  const std::string before = memoBytes();
  Lines items(1025, "line");
  try {
    m_table.SetMField("address", items);
    FAIL() << "1025 lines were stored";
  } catch (const EInOutError& error) {
    EXPECT_EQ(error.errorCode(), 101);
    EXPECT_STREQ(error.what(), "I/O error 101");
  }
  EXPECT_EQ(memoBytes(), before);
  items.pop_back();
  EXPECT_EQ(roundTrip(items).size(), 1024u);
}

TEST_F(MemoFieldTest, FieldsThatAreNoMemoAreNamedInTheError) {
  Lines lines;
  try {
    m_table.GetMField("city", lines);
    FAIL();
  } catch (const ETableError& error) {
    EXPECT_EQ(error.code(), 220);
    EXPECT_EQ(error.detail(),
              "\"GetMField()\" expects field \"city\" to be of type:\r\n\"memo\".\"city\" actually "
              "is: \"Character\"");
  }
  try {
    m_table.SetMField("amount", lines);
    FAIL();
  } catch (const ETableError& error) {
    EXPECT_NE(error.detail().find("actually is: \"Numeric, width: 8 decimals: 2\""),
              std::string::npos);
  }
  try {
    m_table.GetMField("nosuch", lines);
    FAIL();
  } catch (const ETableError& error) {
    EXPECT_EQ(error.detail(),
              "Field \"nosuch\" not in \"" + m_dir.file("book.dbf") + "\" [GetMField]");
  }
}

TEST_F(MemoFieldTest, OemTablesStoreOemTextAndGiveBackProgramText) {
  EXPECT_EQ(roundTrip({"Zo\xE9"}), (Lines{"Zo\xE9"}));
  EXPECT_EQ(lastMemo(), "Zo\x82\r\n");
}

TEST_F(MemoFieldTest, MemoStreamsConvertTextOnlyAndEmptyStreamsLeaveNoMemo) {
  m_table.writeMemoStream("address", "Caf\xE9\r\nline 2");
  m_table.Post();
  EXPECT_EQ(lastMemo(), "Caf\x82\r\nline 2");
  EXPECT_EQ(m_table.readMemoStream("address"), "Caf\xE9\r\nline 2");
  // Bytes that do not look like text are stored as they are.
  const std::string binary("\x01\x02\xE9", 3);
  m_table.writeMemoStream("address", binary);
  m_table.Post();
  EXPECT_EQ(lastMemo(), binary);
  EXPECT_EQ(m_table.readMemoStream("address"), binary);
  m_table.writeMemoStream("address", "");
  m_table.Post();
  EXPECT_EQ(m_table.GetFieldText("address"), "");
  Lines lines{"x"};
  m_table.GetMField("address", lines);
  EXPECT_TRUE(lines.empty());
}

}  // namespace
}  // namespace kestrel::test
