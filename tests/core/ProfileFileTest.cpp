#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <fstream>
#include <iterator>

#include "TestPaths.h"
#include "core/ProfileFile.h"

namespace kestrel {
namespace {

std::string fixture(const std::string& name) {
  return std::string(test::kDataDir) + "/settings/" + name;
}

std::string fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ProfileFileReading, NamesMatchInAnyCaseAndTheFirstMatchWins) {
  const auto file = ProfileFile::fromText(
      "Company=outside any section\r\n"
      "[VALUES]\r\n"
      "postage = 0.41 \r\n"
      "PostAge=second\r\n"
      "[values]\r\n"
      "CertFee=in the second section\r\n");
  EXPECT_EQ(file.readString("Values", "Postage", "d"), "0.41");
  EXPECT_EQ(file.readString("values", "POSTAGE", "d"), "0.41");
  // Only the first section of a name is searched, as Windows does.
  EXPECT_EQ(file.readString("Values", "CertFee", "d"), "d");
  EXPECT_EQ(file.readString("Type", "Company", "d"), "d");
  EXPECT_FALSE(file.find("Missing", "Postage"));
}

TEST(ProfileFileReading, AByteOrderMarkHidesNoSection) {
  auto file = ProfileFile::fromText("\xEF\xBB\xBF[Type]\r\nCompany=Brightwater\r\n");
  EXPECT_EQ(file.readString("Type", "Company", "d"), "Brightwater");
  file.writeString("Type", "BarCodeApp", "1");  // joins the one section, mark kept
  EXPECT_EQ(file.text(), "\xEF\xBB\xBF[Type]\r\nCompany=Brightwater\r\nBarCodeApp=1\r\n");
}

TEST(ProfileFileReading, ValuesAreTrimmedAndCutTo2047Characters) {
  const std::string longValue(5000, 'x');
  const auto file = ProfileFile::fromText("[A]\nblank=   \nsp=  two words \t\nlong=  " + longValue +
                                          "\nnoequals\n=novalue\n");
  EXPECT_EQ(file.readString("A", "sp", "d"), "two words");
  EXPECT_EQ(file.readString("A", "blank", "d"), "");  // present but empty: not the default
  EXPECT_EQ(file.readString("A", "long", "d"), std::string(2047, 'x'));
  EXPECT_EQ(file.readString("A", "noequals", "d"), "d");
}

TEST(ProfileFileReading, WholeNumbersInDecimalAndHexadecimalOtherwiseTheDefault) {
  const auto file = ProfileFile::fromText(
      "[N]\ndec= 42 \nneg=-7\nhex=0x1F\nHEX=0XfF\nbad=12abc\nword=yes\nempty=\n"
      "bare0x=0x\nhuge=99999999999\nmin=-2147483648\nallbits=0xFFFFFFFF\nnine=0x123456789\n"
      "zero=0\ntwo=2\nhexzero=0x0\n");
  EXPECT_EQ(file.readInt("N", "dec", -1), 42);
  EXPECT_EQ(file.readInt("N", "neg", -1), -7);
  EXPECT_EQ(file.readInt("N", "hex", -1), 31);
  EXPECT_EQ(file.readInt("n", "Hex", -1), 31);  // first match: "hex"
  EXPECT_EQ(file.readInt("N", "bad", -1), -1);
  EXPECT_EQ(file.readInt("N", "word", -1), -1);
  EXPECT_EQ(file.readInt("N", "empty", -1), -1);
  EXPECT_EQ(file.readInt("N", "bare0x", -1), -1);
  EXPECT_EQ(file.readInt("N", "huge", -1), -1);
  EXPECT_EQ(file.readInt("N", "min", -1), -2147483647 - 1);
  EXPECT_EQ(file.readInt("N", "allbits", 5), -1);
  EXPECT_EQ(file.readInt("N", "nine", 5), 5);
  EXPECT_EQ(file.readInt("N", "absent", 9), 9);
  // Flags: 0 is false, any other whole number true, anything else the default.
  EXPECT_FALSE(file.readBool("N", "zero", true));
  EXPECT_TRUE(file.readBool("N", "two", false));
  EXPECT_FALSE(file.readBool("N", "hexzero", true));
  EXPECT_TRUE(file.readBool("N", "hex", false));
  EXPECT_TRUE(file.readBool("N", "word", true));
  EXPECT_FALSE(file.readBool("N", "word", false));
}

TEST(ProfileFileWriting, FromScratchSectionsAppearInTheOrderOfTheirFirstEntry) {
  ProfileFile file;
  file.writeString("Type", "Company", "Brightwater");
  file.writeString("Values", "Postage", "0.39");
  file.writeInt("Print Align", "LeftRight", -3);
  file.writeBool("type", "BarCodeApp", true);  // same section as "Type"
  file.writeBool("Values", "Increment", false);
  EXPECT_EQ(file.text(),
            "[Type]\r\nCompany=Brightwater\r\nBarCodeApp=1\r\n"
            "[Values]\r\nPostage=0.39\r\nIncrement=0\r\n"
            "[Print Align]\r\nLeftRight=-3\r\n");
}

TEST(ProfileFileWriting, InPlaceUpdateKeepsForeignLinesAndTheStoredNames) {
  auto file = ProfileFile::fromText(
      "; written by hand\n"
      "[values]\n"
      "  POSTAGE = 0.37\n"
      "Other=kept\n"
      "\n"
      "[Foreign]\r\n"
      "x=1\r\n"
      "garbage line without equals\r\n"
      "[system path]\r\n"
      "Default=/old");
  file.writeString("Values", "Postage", "0.39");
  file.writeString("Values", "CertFee", "2.40");
  file.writeString("System Path", "default", "/new");
  file.writeString("Printing", "ExtraLabel", "Addressed To");
  EXPECT_EQ(file.text(),
            "; written by hand\n"
            "[values]\n"
            "POSTAGE=0.39\n"
            "Other=kept\n"
            "CertFee=2.40\r\n"
            "\n"
            "[Foreign]\r\n"
            "x=1\r\n"
            "garbage line without equals\r\n"
            "[system path]\r\n"
            "Default=/new\r\n"
            "[Printing]\r\n"
            "ExtraLabel=Addressed To\r\n");
  EXPECT_EQ(file.readString("SYSTEM PATH", "DEFAULT", ""), "/new");
}

TEST(ProfileFileWriting, LineBreaksInsideAValueCannotSplitTheEntry) {
  ProfileFile file;
  file.writeString("A", "k", "one\r\ntwo");
  file.writeString("A", "after", "x");
  EXPECT_EQ(file.readString("A", "k", ""), "one  two");
  EXPECT_EQ(file.readString("A", "after", ""), "x");
}

TEST(ProfileFileFiles, MissingEmptyBinaryAndMalformedFilesReadAsAbsentEntries) {
  EXPECT_EQ(ProfileFile::load("/nonexistent/Kestrel3.ini").text(), "");
  EXPECT_EQ(ProfileFile::load(fixture("empty.ini")).readString("Type", "Company", "d"), "d");
  const auto binary = ProfileFile::load(fixture("binary_garbage.ini"));
  EXPECT_EQ(binary.readInt("Values", "PrintBarCode", 7), 7);
  const auto malformed = ProfileFile::load(fixture("malformed_brackets.ini"));
  EXPECT_EQ(malformed.readString("Type", "Company", "d"), "d");
  EXPECT_EQ(malformed.readString("YourAddress", "City", "d"), "Springfield");
}

TEST(ProfileFileFiles, AFolderInTheFilesPlaceReadsAsAMissingFile) {
  QTemporaryDir dir;
  ASSERT_TRUE(QDir(dir.path()).mkdir("Kestrel3.ini"));
  EXPECT_EQ(ProfileFile::load(dir.filePath("Kestrel3.ini").toStdString()).text(), "");
}

TEST(ProfileFileFiles, BinaryBytesOfForeignLinesSurviveAnUpdate) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("Kestrel3.ini").toStdString();
  auto file = ProfileFile::load(fixture("binary_garbage.ini"));
  file.writeString("Type", "Company", "Harrowgate");
  ASSERT_TRUE(file.save(path));
  const std::string original = fileBytes(fixture("binary_garbage.ini"));
  const std::string written = fileBytes(path);
  EXPECT_EQ(written.substr(0, original.size()), original);
  EXPECT_EQ(ProfileFile::load(path).readString("Type", "Company", ""), "Harrowgate");
}

TEST(ProfileFileFiles, SavingIntoAFolderThatCannotBeWrittenFailsAndLeavesNoFile) {
  QTemporaryDir dir;
  const std::string notAFolder = dir.filePath("plain-file").toStdString();
  std::ofstream(notAFolder) << "x";
  ProfileFile file;
  file.writeString("A", "k", "v");
  EXPECT_FALSE(file.save(notAFolder + "/Kestrel3.ini"));
  EXPECT_TRUE(file.save(dir.filePath("ok.ini").toStdString()));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);  // no temporary left behind
}

}  // namespace
}  // namespace kestrel
