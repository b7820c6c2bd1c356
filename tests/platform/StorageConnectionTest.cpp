#include <QLocale>
#include <gtest/gtest.h>

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
            QLocale::system().dateFormat(QLocale::ShortFormat).toStdString());
}

}  // namespace
}  // namespace kestrel
