// The data-aware recipient controls over a data set: what they show, when
// the data set enters edit state, and what reaches the record on Post, on a
// move and on Cancel. In memory for the protocol, over a table file (read
// back by python3-dbfread) for what is stored.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "DbfreadOracle.h"
#include "MemoryDataSet.h"
#include "ScriptedUserInteraction.h"
#include "addresses/AddressBook.h"
#include "addresses/DataAwareEdit.h"
#include "addresses/DataAwareMemo.h"
#include "addresses/DataSource.h"
#include "addresses/RecordNavigator.h"
#include "dbase/ETableError.h"
#include "dbase/TTzDbf.h"

// Failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace kestrel {
namespace {

using test::MemoryDataSet;
using Nav = RecordNavigator;

// The four controls of database mode over one source, with the navigator.
struct Form {
  explicit Form(DataSet& data) : source([this](const QString& message) { errors << message; }) {
    memo.setMaxDisplayedLines(4);
    memo.resize(265, 60);
    memo.setLineWrapMode(QPlainTextEdit::WidgetWidth);
    city.setMaxLength(35);
    city.setStoredLimit(20);
    state.setMaxLength(4);
    state.setStoredLimit(4);
    zip.setEditMask(QStringLiteral("99999\\-9999;1;_"));
    memo.bind(source, "address");
    city.bind(source, "city");
    state.bind(source, "state");
    zip.bind(source, "zip");
    navigator.setDataSource(&source);
    source.setDataSet(&data);
  }
  // Replaces the text as a person does: select all, then type, with Return
  // for each line break.
  void type(QWidget& field, const QString& text) {
    field.setFocus();
    QTest::keyClick(&field, Qt::Key_A, Qt::ControlModifier);
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
      if (i > 0) QTest::keyClick(&field, Qt::Key_Return);
      QTest::keyClicks(&field, lines[i]);
    }
  }

  QStringList errors;
  DataSource source;
  DataAwareMemo memo;
  DataAwareEdit city, state, zip;
  Nav navigator;
};

// An AddressBook in memory, open on its first record.
struct MemoryAddressBook : MemoryDataSet {
  explicit MemoryAddressBook(const std::vector<std::string>& cities)
      : MemoryDataSet(
            {{"address", 'M', 10}, {"city", 'C', 35}, {"state", 'C', 2}, {"zip", 'C', 10}}) {
    fill(*this, cities);
  }
  static void fill(MemoryDataSet& data, const std::vector<std::string>& cities);
};

void MemoryAddressBook::fill(MemoryDataSet& data, const std::vector<std::string>& cities) {
  data.Open();
  for (const std::string& city : cities) {
    data.Insert();
    data.SetFieldText("city", city);
    data.SetMField("address", {"Name of " + city});
    data.Post();
  }
  data.First();
}

std::string trimmed(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

TEST(DataAwareControlsTest, TypingEditsMovingPostsCancelDropsInsertAddsBlank) {
  MemoryAddressBook data({"Dover", "Salem", "Butte"});
  Form form(data);
  EXPECT_EQ(form.city.text(), "Dover");
  EXPECT_EQ(form.memo.toPlainText(), "Name of Dover");
  EXPECT_EQ(data.State(), TDataSetState::dsBrowse);
  EXPECT_FALSE(form.navigator.button(Nav::nbPost)->isEnabled());

  // Typing starts the edit; nothing reaches the record until the move.
  form.type(form.city, QStringLiteral("Newark"));
  EXPECT_EQ(data.State(), TDataSetState::dsEdit);
  EXPECT_EQ(form.city.text(), "Newark");
  EXPECT_TRUE(form.navigator.button(Nav::nbPost)->isEnabled());
  EXPECT_TRUE(form.navigator.button(Nav::nbNext)->isEnabled());  // a move posts
  form.navigator.BtnClick(Nav::nbNext);
  EXPECT_EQ(data.RecNo(), 2u);
  EXPECT_EQ(form.city.text(), "Salem");

  // Cancel drops what was typed, also in the memo.
  form.type(form.memo, QStringLiteral("Somebody else"));
  form.navigator.BtnClick(Nav::nbCancel);
  EXPECT_EQ(form.memo.toPlainText(), "Name of Salem");
  EXPECT_EQ(data.State(), TDataSetState::dsBrowse);

  // Post writes memo lines one per line.
  form.type(form.memo, QStringLiteral("Ann Lee\nACME Inc"));
  form.navigator.BtnClick(Nav::nbPost);
  form.navigator.BtnClick(Nav::nbFirst);
  EXPECT_EQ(trimmed(data.GetFieldText("city")), "Newark");
  EXPECT_TRUE(form.navigator.button(Nav::nbNext)->isEnabled());
  EXPECT_FALSE(form.navigator.button(Nav::nbPrior)->isEnabled());
  form.navigator.BtnClick(Nav::nbNext);
  std::vector<std::string> lines;
  data.GetMField("address", lines);
  EXPECT_EQ(lines, (std::vector<std::string>{"Ann Lee", "ACME Inc"}));

  form.navigator.BtnClick(Nav::nbInsert);
  EXPECT_EQ(form.city.text(), "");
  EXPECT_EQ(form.memo.toPlainText(), "");
  form.navigator.BtnClick(Nav::nbPost);
  EXPECT_EQ(data.RecordCount(), 4u);
  form.navigator.BtnClick(Nav::nbLast);
  EXPECT_EQ(data.RecNo(), 4u);
  EXPECT_TRUE(form.errors.isEmpty());
}

TEST(DataAwareControlsTest, MemoKeepsFourDisplayedLinesTypedOrSet) {
  MemoryAddressBook data({"Dover"});
  Form form(data);
  form.type(form.memo, QStringLiteral("one\ntwo\nthree\nfour\nfive"));
  EXPECT_EQ(form.memo.toPlainText(), "one\ntwo\nthree\nfourfive");
  form.memo.setPlainText(QStringLiteral("a\nb\nc\nd\ne\nf"));
  EXPECT_EQ(form.memo.toPlainText(), "a\nb\nc\nd");
  form.navigator.BtnClick(Nav::nbPost);
  std::vector<std::string> lines;
  data.GetMField("address", lines);
  EXPECT_EQ(lines, (std::vector<std::string>{"a", "b", "c", "d"}));
}

TEST(DataAwareControlsTest, ControlsWithoutAnOpenTableShowNothingAndRefuseTyping) {
  MemoryAddressBook data({"Dover"});
  data.Close();
  Form form(data);
  EXPECT_TRUE(form.city.isReadOnly());
  EXPECT_TRUE(form.memo.isReadOnly());
  form.city.setText(QStringLiteral("Typed"));  // a Paste with nothing behind it
  EXPECT_EQ(form.city.text(), "");
  for (int b = 0; b < Nav::kButtonCount; ++b)
    EXPECT_FALSE(form.navigator.button(static_cast<Nav::NavigateBtn>(b))->isEnabled()) << b;
  form.navigator.BtnClick(Nav::nbNext);  // pressed by a program: nothing to do
  EXPECT_FALSE(data.Active());
}

// A table created as database mode creates one: the width limits of the
// edits, the ZIP Code stored with its hyphen and blanks, the memo lines and
// Delete as a switch, all read back by another reader.
class AddressTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_dir.isValid());
    setUpAddressBook(m_table, path().toStdString());
    m_table.Open();
    checkAddressBookFields(m_table);
  }
  QString path() const { return m_dir.filePath(QStringLiteral("friends.dbf")); }

  QTemporaryDir m_dir;
  TTzDbf m_table{"AddressBook"};
  test::ScriptedUserInteraction m_user;
};

TEST_F(AddressTableTest, EditsStoreWithinLimitsAndDeleteSwitchesTheMark) {
  Form form(m_table);
  form.source.setDataSet(&m_table, {[this] { m_table.Restore(); }, [this] { m_table.Refresh(); }});
  EXPECT_EQ(m_table.RecordCount(), 0u);
  form.navigator.BtnClick(Nav::nbInsert);
  form.type(form.memo, QStringLiteral("Ann Lee\n12 Main St"));
  form.type(form.city, QStringLiteral("A city name of thirty letters"));
  EXPECT_EQ(form.city.text().size(), 29);  // typed whole
  form.type(form.state, QStringLiteral("ABCD"));
  form.type(form.zip, QStringLiteral("19901"));
  form.navigator.BtnClick(Nav::nbPost);
  // The edits show what was stored.
  EXPECT_EQ(form.city.text(), "A city name of thirt");
  EXPECT_EQ(form.state.text(), "AB");

  form.navigator.BtnClick(Nav::nbInsert);
  form.type(form.zip, QStringLiteral("123456789"));
  form.navigator.BtnClick(Nav::nbPost);

  // Delete asks; OK marks, Cancel does not; a marked record is recalled at
  // once, without a question.
  form.navigator.BtnClick(Nav::nbFirst);
  m_user.answerMessage(UserInteraction::Answer::Cancel);
  form.navigator.BtnClick(Nav::nbDelete);
  EXPECT_FALSE(m_table.Deleted());
  m_user.answerMessage(UserInteraction::Answer::Ok);
  form.navigator.BtnClick(Nav::nbDelete);
  EXPECT_TRUE(m_table.Deleted());
  ASSERT_EQ(m_user.questions().size(), 2u);
  EXPECT_EQ(m_user.questions()[0].text, "Delete Record ?");
  EXPECT_EQ(m_user.questions()[0].buttons, UserInteraction::Buttons::OkCancel);
  form.navigator.BtnClick(Nav::nbNext);
  m_user.answerMessage(UserInteraction::Answer::Ok);
  form.navigator.BtnClick(Nav::nbDelete);
  form.navigator.BtnClick(Nav::nbDelete);
  EXPECT_FALSE(m_table.Deleted());
  EXPECT_EQ(m_user.questions().size(), 3u);
  m_table.Close();

  const test::DbfreadTable read = test::readWithDbfread(path());
  ASSERT_TRUE(read.error.isEmpty()) << read.error.toStdString();
  EXPECT_EQ(read.fields, (QStringList{"address:M:10", "city:C:35", "state:C:2", "zip:C:10"}));
  ASSERT_EQ(read.records.size(), 1u);
  EXPECT_EQ(read.records[0], (QStringList{"", "", "", "12345-6789"}));
  ASSERT_EQ(read.deleted.size(), 1u);
  EXPECT_EQ(read.deleted[0],
            (QStringList{"Ann Lee\r\n12 Main St\r\n", "A city name of thirt", "AB", "19901-"}));
}

TEST_F(AddressTableTest, FilesThatAreNoAddressBookFailWithTheStorageLayersError) {
  struct Case {
    const char* name;
    std::vector<std::string> fields;
    const char* error;  // part of the message
  };
  const Case cases[] = {
      {"no address",
       {"name,C,30,0", "city,C,35,0", "state,C,2,0", "zip,C,10,0"},
       "Field \"address\" not in"},
      {"address not a memo",
       {"address,C,30,0", "city,C,35,0", "state,C,2,0", "zip,C,10,0"},
       "expects field \"address\" to be of type"},
      {"no zip", {"address,M,10,0", "city,C,35,0", "state,C,2,0"}, "Field \"zip\" not in"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string file = m_dir.filePath(QString::fromLatin1(c.name) + ".dbf").toStdString();
    TTzDbf other("other");
    other.SetDbfFields(c.fields);
    other.SetDbfFileName(file);
    other.Open();
    try {
      checkAddressBookFields(other);
      ADD_FAILURE() << "accepted";
    } catch (const ETableError& e) {
      EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace kestrel
