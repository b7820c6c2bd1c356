// Options > Name & Address Text Files from the main window: the dialogs with
// their filters and proposed names, the question for an existing table and
// its three answers, and the messages of success and failure.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>

#include "MainWindowFixture.h"
#include "addresses/NameAddressTransfer.h"
#include "dbase/TTzDbf.h"

namespace kestrel {
namespace {

using test::kQuietStart;
using Kind = test::ScriptedUserInteraction::Kind;
using Answer = UserInteraction::Answer;

class TextFilesCommandTest : public test::MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    writeIni(QByteArray(kQuietStart) + "[System Path]\r\ndefault=" +
             m_program.filePath(QStringLiteral("Addresses")).toUtf8() + "\r\n");
    start();
  }
  QString inAddresses(const char* name) const {
    return m_program.filePath(QStringLiteral("Addresses/") + QLatin1String(name));
  }
  void writeText(const char* name, const QByteArray& bytes) {
    QFile file(inAddresses(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  std::uint32_t records(const char* table) {
    TTzDbf t("check");
    t.SetDbfFileName(inAddresses(table).toStdString());
    t.SetCreateIfNotFound(false);
    t.Open();
    return t.RecordCount();
  }
  QByteArray bytesOf(const char* name) {
    QFile file(inAddresses(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  const test::ScriptedUserInteraction::Question& asked(std::size_t i) {
    return m_user.questions().at(i);
  }
};

TEST_F(TextFilesCommandTest, ImportAsksForTheTableAndAnExistingOnesFate) {
  writeText("clients.csv",
            "\"Jane Doe\",,,,\"Springfield\",\"IL\",\"62701\"\r\n"
            "a,b,c,d,e,f\r\n");
  // A new table: no question, two records, and the unreadable line told.
  m_user.answerOpenFile(inAddresses("clients.csv"));
  m_user.answerSaveFile(inAddresses("clients.dbf"));
  m_user.answerMessage(Answer::Ok);
  m_user.answerMessage(Answer::Ok);
  m_window->MIImport->trigger();
  ASSERT_EQ(m_user.questions().size(), 4u);
  EXPECT_EQ(asked(0).caption, "Read Name and Address from File");
  EXPECT_EQ(asked(0).folder, m_program.filePath(QStringLiteral("Addresses")));
  EXPECT_EQ(asked(0).filter, "Import Files(*.txt;*.csv)|*.txt;*.csv|All Files|*.*");
  EXPECT_EQ(asked(1).kind, Kind::SaveFile);
  EXPECT_EQ(asked(1).folder, inAddresses("clients.dbf"));
  EXPECT_EQ(asked(1).filter, "DBF Files (*.dbf)|*.dbf");
  // An existing table gets the program's own question below, never the
  // dialog's "replace it?" before it.
  EXPECT_EQ(asked(1).existing, UserInteraction::ExistingFile::TakeAsIs);
  EXPECT_EQ(asked(2).text, "Import Done.");
  EXPECT_EQ(asked(3).text, "1 of the lines could not be read and became empty records. Lines: 2");
  EXPECT_EQ(records("clients.dbf"), 2u);

  // The table's name typed in another case is the same table, as the
  // storage layer opens it: asked about, appended to or overwritten.
  struct Case {
    int choice;  // Overwrite, Append, Cancel
    std::uint32_t recordsAfter;
    const char* typed;
  };
  for (const Case& c :
       {Case{3, 2, "clients.dbf"}, Case{2, 4, "Clients.DBF"}, Case{1, 2, "CLIENTS.dbf"}}) {
    SCOPED_TRACE(c.typed);
    const std::size_t before = m_user.questions().size();
    const QByteArray tableBefore = bytesOf("clients.dbf");
    m_user.answerOpenFile(inAddresses("clients.csv"));
    m_user.answerSaveFile(inAddresses(c.typed));
    m_user.answerChoice(c.choice);
    if (c.choice != 3) {
      m_user.answerMessage(Answer::Ok);
      m_user.answerMessage(Answer::Ok);
    }
    m_window->MIImport->trigger();
    const auto& question = asked(before + 2);
    EXPECT_EQ(question.caption, "Kestrel");
    EXPECT_EQ(question.text,
              "A database of the same name has been found in this location.  Would you like "
              "to overwrite this database, or append to this database?");
    EXPECT_EQ(question.buttonCaptions, (QStringList{"&Overwrite", "&Append", "&Cancel"}));
    EXPECT_EQ(records("clients.dbf"), c.recordsAfter);
    if (c.choice == 3) {
      EXPECT_EQ(bytesOf("clients.dbf"), tableBefore);
    }
  }
  EXPECT_EQ(QDir(inAddresses("")).entryList({"*.dbf", "*.DBF"}, QDir::Files, QDir::Name),
            QStringList{"clients.dbf"});
}

TEST_F(TextFilesCommandTest, ExportProposesTheTextNameAndFailuresCarryTheirPrefix) {
  writeText("in.txt", "\"Jane Doe\",,,,\"Springfield\",\"IL\",\"62701\"\r\n");
  importNameAddressFile(inAddresses("in.txt").toStdString(),
                        inAddresses("clients.dbf").toStdString(), false, {});

  m_user.answerOpenFile(inAddresses("clients.dbf"));
  m_user.answerSaveFile(inAddresses("clients.txt"));
  m_user.answerMessage(Answer::Ok);
  m_window->MIExport->trigger();
  ASSERT_EQ(m_user.questions().size(), 3u);
  EXPECT_EQ(asked(0).filter, "dbf Files(*.dbf)|*.dbf|All Files|*.*");
  EXPECT_EQ(asked(1).folder, inAddresses("clients.txt"));
  // A text file of the user's is not replaced without a question.
  EXPECT_EQ(asked(1).existing, UserInteraction::ExistingFile::AskToReplace);
  EXPECT_EQ(asked(2).text, "Export Done.");
  EXPECT_EQ(bytesOf("clients.txt"),
            "\"Jane Doe\",\"\",\"\",\"\",\"Springfield\",\"IL\",\"62701\"\r\n");

  m_user.answerOpenFile(inAddresses("missing.dbf"));
  m_user.answerSaveFile(inAddresses("missing.txt"));
  m_user.answerMessage(Answer::Ok);
  m_window->MIExport->trigger();
  EXPECT_TRUE(m_user.questions().back().text.startsWith("Error on export: Error # "))
      << m_user.questions().back().text.toStdString();
  EXPECT_EQ(m_user.questions().back().icon, UserInteraction::Icon::Error);

  m_user.answerOpenFile(inAddresses("nowhere.txt"));
  m_user.answerSaveFile(inAddresses("x.dbf"));
  m_user.answerMessage(Answer::Ok);
  m_window->MIImport->trigger();
  EXPECT_TRUE(m_user.questions().back().text.startsWith("Error on import: Cannot open"))
      << m_user.questions().back().text.toStdString();
}

}  // namespace
}  // namespace kestrel
