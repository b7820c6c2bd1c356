#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>
#include <iterator>

#include "ScriptedUserInteraction.h"
#include "core/Branding.h"
#include "core/Folders.h"
#include "core/SettingsFile.h"
#include "platform/SettingsSaving.h"

namespace kestrel {
namespace {

std::string fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class SettingsFileTest : public ::testing::Test {
 protected:
  SettingsFileTest() {
    m_settings.ProgramFolder = m_program.path().toStdString() + "/";
    setMachineFolderForTests(m_machine.path().toStdString());
  }
  ~SettingsFileTest() override { setMachineFolderForTests(""); }

  std::string path() const { return settingsFilePath(); }
  void writeFile(const std::string& bytes) { std::ofstream(path(), std::ios::binary) << bytes; }
  // Loads with the real brand rule; loadLogo stands in for the main window's picture.
  void load(bool logoLoads = true) {
    m_brandRuleRuns = 0;
    loadSettings(m_settings, path(), [&] {
      ++m_brandRuleRuns;
      applyDefaultBranding(m_settings, [&](const std::string&) { return logoLoads; });
    });
  }
  void putLogo() { std::ofstream(logoFilePath(m_settings)) << "BM"; }

  QTemporaryDir m_program, m_machine;
  SettingsRecord m_settings;
  int m_brandRuleRuns = 0;
};

TEST_F(SettingsFileTest, FirstStartTakesTheDefaultsAndWritesTheCompleteFileInOrder) {
  load();
  EXPECT_EQ(settingsFilePath(), m_machine.path().toStdString() + "/Kestrel3.ini");
  EXPECT_EQ(m_brandRuleRuns, 1);
  EXPECT_EQ(m_settings.Company, "Brightwater");
  EXPECT_EQ(m_settings.Postage, "0.39");
  EXPECT_EQ(m_settings.CertFee, "2.40");
  EXPECT_EQ(m_settings.Return, "1.85");
  EXPECT_EQ(m_settings.Restricted, "3.50");
  EXPECT_TRUE(m_settings.PrintBarCode);
  EXPECT_EQ(m_settings.CustID, "000000000");
  EXPECT_EQ(m_settings.SerialNum, "0000000");
  EXPECT_TRUE(m_settings.Increment);
  EXPECT_EQ(m_settings.MailerNum, "71000000000000000000");
  EXPECT_EQ(m_settings.PrintExtraLabel, "Yes");
  EXPECT_EQ(m_settings.ExtraLabel, "Addressed To");
  EXPECT_EQ(m_settings.LeftRight, 0);
  EXPECT_EQ(m_settings.TopBottom, 0);
  EXPECT_TRUE(m_settings.BarCodeApp);
  EXPECT_EQ(m_settings.AddressFolder, m_settings.ProgramFolder + "Addresses");
  EXPECT_EQ(m_settings.Line1, "");

  m_settings.Line1 = "Ann Example";
  m_settings.City = "Springfield";
  m_settings.Zip = "62701";
  m_settings.TopBottom = -12;
  test::ScriptedUserInteraction user;  // no message expected
  ASSERT_TRUE(saveSettings(m_settings, path()));
  EXPECT_EQ(fileBytes(path()),
            "[Type]\r\nCompany=Brightwater\r\nBarCodeApp=1\r\n"
            "[YourAddress]\r\nLine1=Ann Example\r\nLine2=\r\nLine3=\r\nLine4=\r\n"
            "City=Springfield\r\nState=\r\nZip=62701\r\n"
            "[Values]\r\nPostage=0.39\r\nCertFee=2.40\r\nReturn=1.85\r\nRestricted=3.50\r\n"
            "PrintBarCode=1\r\nCustID=000000000\r\nSerialNum=0000000\r\nIncrement=1\r\n"
            "MailerNum=71000000000000000000\r\nIMpbBarCodes=0\r\n"
            "[Printing]\r\nPrintExtraLabel=Yes\r\nExtraLabel=Addressed To\r\n"
            "[Print Align]\r\nLeftRight=0\r\nTopBottom=-12\r\n"
            "[System Path]\r\ndefault=" +
                m_settings.AddressFolder + "\r\n");
}

TEST_F(SettingsFileTest, ALoadableLogoMakesTheBrandHarrowgateWhichOutlivesTheLogo) {
  putLogo();
  load(true);
  EXPECT_EQ(m_settings.Company, "Harrowgate");
  ASSERT_TRUE(saveSettings(m_settings, path()));
  std::remove(logoFilePath(m_settings).c_str());
  m_settings = SettingsRecord{};
  m_settings.ProgramFolder = m_program.path().toStdString() + "/";
  load();
  EXPECT_EQ(m_brandRuleRuns, 0);
  EXPECT_EQ(m_settings.Company, "Harrowgate");
}

TEST_F(SettingsFileTest, ALogoThatDoesNotLoadOrIsMissingGivesBrightwater) {
  putLogo();
  load(false);
  EXPECT_EQ(m_settings.Company, "Brightwater");
  std::remove(logoFilePath(m_settings).c_str());
  bool asked = false;
  applyDefaultBranding(m_settings, [&](const std::string&) { return asked = true; });
  EXPECT_FALSE(asked);  // nothing to load
}

TEST_F(SettingsFileTest, StoredValuesInAnySpellingAndForeignBrandsAreKept) {
  writeFile(
      "[TYPE]\nCOMPANY=  Acme Mailing  \nbarcodeapp=0\n"
      "[values]\nprintbarcode=yes\nIncrement=0x0\nCustID=12-345-6789\n"
      "[PRINT ALIGN]\nleftright=0x10\nTopBottom=-5\n"
      "[yourADDRESS]\nline1=   Ann\n"
      "[system path]\ndefault=/srv/addresses\n");
  load();
  EXPECT_EQ(m_brandRuleRuns, 0);
  EXPECT_EQ(m_settings.Company, "Acme Mailing");
  EXPECT_FALSE(m_settings.BarCodeApp);
  EXPECT_TRUE(m_settings.PrintBarCode);  // "yes" is not a number: the default
  EXPECT_FALSE(m_settings.Increment);
  EXPECT_EQ(m_settings.CustID, "12-345-6789");
  EXPECT_EQ(m_settings.LeftRight, 16);
  EXPECT_EQ(m_settings.TopBottom, -5);
  EXPECT_EQ(m_settings.Line1, "Ann");
  EXPECT_EQ(m_settings.AddressFolder, "/srv/addresses");

  ASSERT_TRUE(saveSettings(m_settings, path()));
  const std::string saved = fileBytes(path());
  EXPECT_NE(saved.find("COMPANY=Acme Mailing"), std::string::npos);
  EXPECT_NE(saved.find("CustID=12-345-6789"), std::string::npos);
  EXPECT_NE(saved.find("barcodeapp=0"), std::string::npos);
  EXPECT_NE(saved.find("default=/srv/addresses"), std::string::npos);
  EXPECT_EQ(saved.find("BarCodeApp"), std::string::npos);  // no second entry
  EXPECT_EQ(saved.find("[type]"), std::string::npos);      // no second section
}

TEST_F(SettingsFileTest, AFlagOfTwoIsTrueAndOfZeroFalse) {
  writeFile("[Values]\r\nPrintBarCode=2\r\nIncrement=0\r\n");
  load();
  EXPECT_TRUE(m_settings.PrintBarCode);
  EXPECT_FALSE(m_settings.Increment);
}

TEST_F(SettingsFileTest, AnUnwritableSettingsFolderIsReportedAndLeavesTheFileUntouched) {
  const std::string blocked = m_machine.path().toStdString() + "/blocked";
  std::ofstream(blocked) << "a plain file where a folder should be";
  setMachineFolderForTests(blocked);
  load();
  test::ScriptedUserInteraction user;
  user.answerMessage(UserInteraction::Answer::Ok);
  EXPECT_FALSE(saveSettings(m_settings, path()));
  ASSERT_EQ(user.questions().size(), 1u);
  EXPECT_EQ(user.questions()[0].caption, "Kestrel");
  EXPECT_EQ(user.questions()[0].text,
            QString::fromStdString("Unable to write to " + blocked + "/Kestrel3.ini"));
  EXPECT_EQ(user.questions()[0].icon, UserInteraction::Icon::Error);
}

}  // namespace
}  // namespace kestrel
