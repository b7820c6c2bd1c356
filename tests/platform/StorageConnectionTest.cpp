#include <gtest/gtest.h>

#include <QLocale>

#include "ScriptedUserInteraction.h"
#include "dbase/DateText.h"
#include "dbase/TableWarnings.h"
#include "platform/StorageConnection.h"

namespace kestrel {
namespace {

using test::ScriptedUserInteraction;

TEST(StorageConnection, WarningsBecomePlainMessagesAndTheDateFormatIsTheSystems) {
  ScriptedUserInteraction user;
  user.answerMessage(UserInteraction::Answer::Ok);
  connectStorageLayer();
  showTableWarning("Lock failed [C:\\Reports\\report3.dbf]");
  SetWarningHandler({});

  ASSERT_EQ(user.questions().size(), 1u);
  const auto& shown = user.questions()[0];
  EXPECT_EQ(shown.caption, "Kestrel");
  EXPECT_EQ(shown.text, "Lock failed [C:\\Reports\\report3.dbf]");
  EXPECT_EQ(shown.icon, UserInteraction::Icon::None);
  EXPECT_EQ(shown.buttons, UserInteraction::Buttons::Ok);
  EXPECT_EQ(systemShortDateFormat(),
            numericShortDateFormat(QLocale::system().dateFormat(QLocale::ShortFormat)));
}

// Today's date, written in the system's short format as the log does, must
// read back as today under every locale's format.
TEST(StorageConnection, TodayInEveryLocalesShortFormatReadsBackAsToday) {
  const char* const locales[] = {"C", "en_US", "en_GB", "de_DE", "fr_FR", "ja_JP", "sv_SE"};
  for (const char* name : locales) {
    const QString format = QLocale(QString::fromLatin1(name)).dateFormat(QLocale::ShortFormat);
    SCOPED_TRACE(name + std::string(": ") + format.toStdString());
    SetProgramDateFormat(numericShortDateFormat(format));
    EXPECT_EQ(dateFromFieldText(formatSystemDate(today())), today());
  }
  SetProgramDateFormat("M/d/yyyy");
}

}  // namespace
}  // namespace kestrel
