// Files the storage layer creates, byte for byte, and the field definition rules.
#include <gtest/gtest.h>

#include <filesystem>

#include "DbaseTestSupport.h"
#include "dbase/ETableError.h"
#include "dbase/FieldDefinition.h"
#include "dbase/TTzDbf.h"

namespace kestrel::test {
namespace {

unsigned byteAt(const std::string& bytes, std::size_t i) {
  return static_cast<unsigned char>(bytes.at(i));
}

class TableFormatTest : public DbaseTest {};

TEST_F(TableFormatTest, NewMailingLogIs546BytesWithTheGivenHeader) {
  TTzDbf table("MailingLog");
  table.SetDbfFileName(m_dir.file("report3.dbf"));
  table.SetDbfFields(mailingLogFields());
  table.Open();
  EXPECT_EQ(table.RecordCount(), 0u);
  EXPECT_TRUE(table.Eof());
  table.Close();

  const std::string bytes = readBytes(m_dir.file("report3.dbf"));
  ASSERT_EQ(bytes.size(), 546u);
  const Date now = today();
  EXPECT_EQ(byteAt(bytes, 0), 0x03u);
  EXPECT_EQ(byteAt(bytes, 1), static_cast<unsigned>(now.year - 1900));
  EXPECT_EQ(byteAt(bytes, 2), static_cast<unsigned>(now.month));
  EXPECT_EQ(byteAt(bytes, 3), static_cast<unsigned>(now.day));
  for (int i = 4; i < 8; ++i) EXPECT_EQ(byteAt(bytes, i), 0u);
  EXPECT_EQ(byteAt(bytes, 8), 0x21u);
  EXPECT_EQ(byteAt(bytes, 9), 0x02u);
  EXPECT_EQ(byteAt(bytes, 10), 0x54u);
  EXPECT_EQ(byteAt(bytes, 11), 0x01u);
  for (int i = 12; i < 32; ++i) EXPECT_EQ(byteAt(bytes, i), 0u) << i;
  EXPECT_EQ(byteAt(bytes, 544), 0x0Du);
  EXPECT_EQ(byteAt(bytes, 545), 0x1Au);
  // The date field was declared 10 wide and is written 8 wide with no decimals.
  const std::size_t rdate = 32 + 7 * 32;
  EXPECT_EQ(bytes.substr(rdate, 11), std::string("RDATE\0\0\0\0\0\0", 11));
  EXPECT_EQ(bytes[rdate + 11], 'D');
  EXPECT_EQ(byteAt(bytes, rdate + 16), 8u);
  EXPECT_EQ(byteAt(bytes, rdate + 17), 0u);
}

TEST_F(TableFormatTest, NewAddressBookHasDbase4HeaderAndEmptyMemoFile) {
  TTzDbf table;
  table.SetDbfFileName(m_dir.file("Customers.dbf"));
  table.SetDbfFields(addressBookFields());
  table.Open();
  table.Close();
  const std::string dbf = readBytes(m_dir.file("Customers.dbf"));
  ASSERT_EQ(dbf.size(), 162u);
  EXPECT_EQ(byteAt(dbf, 0), 0x8Bu);
  EXPECT_EQ(byteAt(dbf, 8), 0xA1u);
  EXPECT_EQ(byteAt(dbf, 10), 58u);
  EXPECT_EQ(dbf[32 + 11], 'M');
  EXPECT_EQ(byteAt(dbf, 32 + 16), 10u);

  const std::string dbt = readBytes(m_dir.file("Customers.DBT"));
  ASSERT_EQ(dbt.size(), 24u);
  EXPECT_EQ(dbt.substr(0, 4), std::string("\x01\0\0\0", 4));
  EXPECT_EQ(dbt.substr(8, 8), "Customer");
  EXPECT_EQ(byteAt(dbt, 18), 0x02u);
  EXPECT_EQ(byteAt(dbt, 19), 0x01u);
  EXPECT_EQ(byteAt(dbt, 20), 0x00u);
  EXPECT_EQ(byteAt(dbt, 21), 0x02u);
}

TEST_F(TableFormatTest, FirstMemoLandsInBlockOneAfterPadding) {
  TTzDbf table;
  table.SetDbfFileName(m_dir.file("book.dbf"));
  table.SetDbfFields(addressBookFields());
  table.Open();
  table.ClearRecord();
  table.SetFieldText("address", "Jane Doe\r\n12 Main St");
  ASSERT_TRUE(table.ALock());
  table.AppendRec();
  table.UnLock();
  // A second record without memo text holds nine blanks and the digit 0.
  table.ClearRecord();
  table.SetFieldText("city", "Springfield");
  ASSERT_TRUE(table.ALock());
  table.AppendRec();
  table.Close();

  const std::string dbt = readBytes(m_dir.file("book.DBT"));
  const std::string text = "Jane Doe\r\n12 Main St";
  ASSERT_EQ(dbt.size(), 512 + 8 + text.size());
  EXPECT_EQ(dbt.substr(24, 488), std::string(488, '\0'));
  EXPECT_EQ(dbt.substr(512, 4), std::string("\xFF\xFF\x08\x00", 4));
  EXPECT_EQ(byteAt(dbt, 516), text.size() + 8);
  EXPECT_EQ(dbt.substr(520), text);
  EXPECT_EQ(byteAt(dbt, 0), 2u);  // blocks in use: 0 and 1

  const std::string dbf = readBytes(m_dir.file("book.dbf"));
  EXPECT_EQ(dbf.substr(161 + 1, 10), "         1");
  EXPECT_EQ(dbf.substr(161 + 58 + 1, 10), "         0");
  EXPECT_EQ(dbf.size(), 161u + 2 * 58 + 1);
  EXPECT_EQ(dbf.back(), '\x1A');

  TTzDbf again;
  again.SetDbfFileName(m_dir.file("book.dbf"));
  again.Open();
  EXPECT_EQ(again.GetFieldText("ADDRESS"), text);
  again.Next();
  EXPECT_EQ(again.GetFieldText("address"), "");
  EXPECT_EQ(again.GetFieldText("city"), "Springfield" + std::string(24, ' '));
}

TEST_F(TableFormatTest, MemoGoesToTheEndEvenWhereAnotherProgramsChainNamesFreeBlocks) {
  TTzDbf table("tzBook");
  table.SetDbfFileName(m_dir.file("book.dbf"));
  table.SetDbfFields(addressBookFields());
  table.Open();
  table.Close();
  // Six blocks: the chain starts at block 1 (a run of 1 block, then block 3),
  // block 2 holds a memo, blocks 3-5 are one free run. Nothing but a walk
  // over every record could tell that no live record uses them.
  std::string dbt = readBytes(m_dir.file("book.DBT"));
  dbt.resize(6 * 512, '\0');
  dbt[0] = 1;
  dbt[512] = 3;
  dbt[512 + 4] = 1;
  dbt.replace(1024, 12, std::string("\xFF\xFF\x08\x00\x0C\0\0\0keep", 12));
  dbt[1536 + 4] = 3;
  writeBytes(m_dir.file("book.DBT"), dbt);

  table.Open();
  table.ClearRecord();
  const std::string text(600, 'm');
  table.SetFieldText("address", text);
  ASSERT_TRUE(table.ALock());
  table.AppendRec();
  EXPECT_EQ(table.GetFieldText("address"), text);
  table.Close();
  const std::string after = readBytes(m_dir.file("book.DBT"));
  EXPECT_EQ(after.size(), 6u * 512 + 8 + 600);
  EXPECT_EQ(after.substr(4, 6 * 512 - 4), dbt.substr(4));
  EXPECT_EQ(after.substr(6 * 512, 4), std::string("\xFF\xFF\x08\x00", 4));
  EXPECT_EQ(after[0], 8);  // the header then holds the file's block count
  EXPECT_EQ(readBytes(m_dir.file("book.dbf")).substr(162, 10), "         6");
}

TEST_F(TableFormatTest, FieldDefinitionsAreCorrectedWithOneWarningEach) {
  WarningRecorder warnings;
  auto fields = fieldsFromDefinitions(
      {" name , c ,  +12,0", "amount,N,25,20", "flag,L,5,2", "when,D,10,0", "skip,X,5,0",
       "long,C,255,3", "odd,Q,7,0", "averyveryverylongname,C,5,0", "small,N,3,2"},
      "tzLog");
  ASSERT_TRUE(fields.has_value());
  ASSERT_EQ(fields->size(), 8u);
  auto expectField = [&](std::size_t i, const char* name, char type, int length, int decimals) {
    const FieldDescriptor& f = fields->at(i);
    EXPECT_EQ(f.name, name);
    EXPECT_EQ(f.type, type) << name;
    EXPECT_EQ(f.length, length) << name;
    EXPECT_EQ(f.decimals, decimals) << name;
  };
  expectField(0, "NAME", 'C', 12, 0);
  expectField(1, "AMOUNT", 'N', 20, 18);
  expectField(2, "FLAG", 'L', 1, 0);
  expectField(3, "WHEN", 'D', 8, 0);
  expectField(4, "LONG", 'C', 254, 0);
  expectField(5, "ODD", 'C', 7, 0);
  expectField(6, "AVERYVERYV", 'C', 5, 0);
  expectField(7, "SMALL", 'N', 3, 1);
  EXPECT_EQ(fields->at(1).offset, 13u);
  ASSERT_EQ(warnings.texts().size(), 4u);
  EXPECT_EQ(warnings.texts()[0],
            "Invalid field definition for tzLog: amount,N,25,20. Will use corrected definition: "
            "amount,N,20,18");
  EXPECT_EQ(warnings.texts()[1],
            "Invalid field definition for tzLog: long,C,255,3. Will use corrected definition: "
            "long,C,254,0");
  EXPECT_EQ(warnings.texts()[2],
            "Invalid field definition for tzLog: odd,Q,7,0. Will use corrected definition: "
            "odd,C,7,0");
}

TEST_F(TableFormatTest, BadDefinitionsCreateNothing) {
  // Not exactly three commas: the list is not used at all.
  EXPECT_FALSE(fieldsFromDefinitions({"a,C,10,0", "b,C,10"}, "t").has_value());
  EXPECT_FALSE(fieldsFromDefinitions({"a,C,10,0,1"}, "t").has_value());
  for (const char* bad : {",C,10,0", "a,C,0,0", "a,N,,0", "a,F,0,0", "a,,10,0"}) {
    try {
      fieldsFromDefinitions({bad}, "t");
      ADD_FAILURE() << bad;
    } catch (const ETableError& e) {
      EXPECT_EQ(e.code(), 211) << bad;
      EXPECT_EQ(e.detail(), "Invalid dBASE field definition [CreateDBF]");
    }
  }
  EXPECT_EQ(readDefinitionInteger("  +42abc"), 42);
  EXPECT_EQ(readDefinitionInteger("-5"), 0);
}

TEST_F(TableFormatTest, NamesThatMatchAfterUpperCasingOrTheCutCreateNothing) {
  struct Case {
    std::vector<std::string> definitions;
    const char* warning;
  };
  const Case cases[] = {
      {{"name,C,10,0", "NAME,C,5,0"},
       "Duplicate field name NAME in tzBook: NAME,C,5,0. The table is not created"},
      {{"city,C,5,0", "addressline1,C,5,0", "addressline2,M,10,0"},
       "Duplicate field name ADDRESSLIN in tzBook: addressline2,M,10,0. The table is not created"},
  };
  for (const Case& c : cases) {
    WarningRecorder warnings;
    EXPECT_FALSE(fieldsFromDefinitions(c.definitions, "tzBook").has_value());
    ASSERT_FALSE(warnings.texts().empty());
    EXPECT_EQ(warnings.texts().back(), c.warning);

    TTzDbf table("tzBook");
    table.SetDbfFileName(m_dir.file("twice.dbf"));
    table.SetDbfFields(c.definitions);
    EXPECT_THROW(table.Open(), ETableError);
    EXPECT_FALSE(std::filesystem::exists(m_dir.file("twice.dbf")));
  }
}

TEST_F(TableFormatTest, Level7FieldsSharingTheirFirstTenLettersAreEachReachedByName) {
  // A level 7 table (68-byte header, 48-byte descriptors) of two C fields.
  std::string bytes(68, '\0');
  bytes[0] = 0x04;
  bytes[4] = 1;
  bytes[8] = static_cast<char>(68 + 2 * 48 + 1);
  bytes[10] = 13;
  for (const char* name : {"ADDRESS_LINE1", "ADDRESS_LINE2"}) {
    std::string field(48, '\0');
    field.replace(0, 13, name);
    field[32] = 'C';
    field[33] = 6;
    bytes += field;
  }
  bytes += "\r first second\x1A";
  writeBytes(m_dir.file("seven.dbf"), bytes);

  TTzDbf table("seven");
  table.SetDbfFileName(m_dir.file("seven.dbf"));
  table.SetExclusive(true);
  table.Open();
  EXPECT_EQ(table.GetFieldText("address_line1"), "first ");
  EXPECT_EQ(table.GetFieldText("ADDRESS_LINE2"), "second");
  EXPECT_EQ(table.GetFieldText("address_li"), "first ");  // the classic 10-letter match
  // Only a-z fold onto A-Z: bytes that a looser fold would take for a
  // stored letter or "_" name nothing, also in the last, overlapping word of
  // a long name.
  const struct {
    const char* query;
    int index;
  } names[] = {{"aDDRESS_lINE2", 1},
               {"ADDRESS_LINE", 0},
               {"ADDRESS\x7F"
                "LINE1",
                -1},
               {"ADDRESS_L\xC9"
                "NE1",
                -1},
               {"\xC1"
                "DDRESS_LINE1",
                -1}};
  for (const auto& name : names) EXPECT_EQ(table.fieldIndex(name.query), name.index) << name.query;
  table.SetFieldText("Address_Line2", "other");
  table.Post();
  table.Close();
  EXPECT_EQ(readBytes(m_dir.file("seven.dbf")).substr(68 + 96 + 1, 13), " first other ");
}

TEST_F(TableFormatTest, OpenWithUnusableFieldListWarnsAndFailsWithFileNotFound) {
  WarningRecorder warnings;
  TTzDbf table("tzBook");
  table.SetDbfFileName(m_dir.file("nothing"));
  EXPECT_EQ(table.DbfFileName(), m_dir.file("nothing.DBF"));
  try {
    table.Open();
    FAIL();
  } catch (const ETableError& e) {
    EXPECT_EQ(e.code(), 2);
  }
  EXPECT_FALSE(table.Active());
  ASSERT_EQ(warnings.texts().size(), 2u);
  EXPECT_EQ(warnings.texts()[0], "FieldList.Count is <= 0 trying to create a database");
  EXPECT_EQ(warnings.texts()[1], "Could not create \"" + m_dir.file("nothing.DBF") + "\"");

  table.SetDbfFields({"a,C,0,0"});
  EXPECT_THROW(table.Open(), ETableError);
  EXPECT_EQ(warnings.texts().back(), "Could not create \"" + m_dir.file("nothing.DBF") + "\"");
  EXPECT_FALSE(std::filesystem::exists(m_dir.file("nothing.DBF")));
}

TEST_F(TableFormatTest, ErrorMessageCarriesCodeTextAndDetail) {
  ETableError error(227, "Available disk space");
  EXPECT_STREQ(error.what(), "Error # 227 (Insufficient disk space )\r\nAvailable disk space");
  EXPECT_EQ(tableErrorText(1203), "Network Error");
  EXPECT_EQ(tableErrorText(18), "Too many open files");
  EXPECT_EQ(tableErrorText(999), "Undefined error");
  EXPECT_EQ(tableErrorText(101), "Disk write error (probable cause: Disk Full).");
  const std::runtime_error& base = error;  // the program's one command runner catches this
  EXPECT_NE(std::string(base.what()).find("Error # 227"), std::string::npos);
}

}  // namespace
}  // namespace kestrel::test
