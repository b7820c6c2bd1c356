#include <gtest/gtest.h>

#include <QDateTime>
#include <QLocale>
#include <QTemporaryDir>
#include <QTimeZone>

#include "ScriptedUserInteraction.h"
#include "dbase/DateText.h"
#include "dbase/MessagePath.h"
#include "dbase/TTzDbf.h"
#include "dbase/TableWarnings.h"
#include "platform/CommandRunner.h"
#include "platform/LocalPath.h"
#include "platform/ProgramLocale.h"
#include "platform/StorageConnection.h"
#include "report/ReportLayout.h"

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
            numericShortDateFormat(programLocale().dateFormat(QLocale::ShortFormat)));
}

// The path's bytes are the file system's (UTF-8), the storage layer's
// message is Windows-1252 text: a table chosen in a folder with accents is
// named in its error as the user spelled it, and a name that Windows-1252
// cannot hold at least keeps its letters.
TEST(StorageConnection, AStorageErrorNamesAnAccentedFileAsItIs) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  connectStorageLayer();
  struct Case {
    const char* name;   // UTF-8
    const char* shown;  // UTF-8
  };
  for (const Case& c :
       {Case{"Adressen-M\xC3\xBCller.dbf", "Adressen-M\xC3\xBCller.dbf"}, Case{"\xC5\x81\xC3\xB3"
                                                                               "d\xC5\xBA.dbf",
                                                                               "L\xC3\xB3"
                                                                               "dz.dbf"}}) {
    const QString path = dir.filePath(QString::fromUtf8(c.name));
    SCOPED_TRACE(path.toStdString());
    ScriptedUserInteraction user;
    user.answerMessage(UserInteraction::Answer::Ok);
    user.answerMessage(UserInteraction::Answer::Ok);
    EXPECT_FALSE(runCommand([&] {
      TTzDbf table;
      table.SetDbfFileName(toLocalPath(path));
      table.SetCreateIfNotFound(false);
      table.Open();
    }));
    // The report engine's messages name their files the same way.
    EXPECT_FALSE(runCommand([&] { loadReportLayout(toLocalPath(path + QStringLiteral(".rav"))); }));
    ASSERT_EQ(user.questions().size(), 2u);
    const QString shown = dir.filePath(QString::fromUtf8(c.shown));
    EXPECT_EQ(user.questions()[0].text,
              QStringLiteral("Error # 2 (File not found)\r\nCannot open %1 [USE]").arg(shown));
    EXPECT_EQ(user.questions()[1].text,
              QStringLiteral("The report layout file \"%1.rav\" cannot be read: No such file or "
                             "directory.")
                  .arg(shown));
  }
  SetMessagePathSpelling(nullptr);
  SetWarningHandler({});
}

// A machine without a locale reads dates the U.S. way, in the log's date
// fields and in the printed time alike; a real locale keeps its own.
TEST(ProgramLocale, TheCLocaleCountsAsUsEnglishAndARealLocaleRules) {
  const QDateTime december9(QDate(2026, 12, 9), QTime(21, 12, 11), QTimeZone::utc());
  const auto printed = [&](const QLocale& locale) {
    return (locale.toString(december9.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
            locale.toString(december9.time(), QLocale::LongFormat))
        .toStdString();
  };
  const QLocale american(QStringLiteral("en_US"));
  const QLocale german(QStringLiteral("de_DE"));
  for (const QLocale& system : {QLocale::c(), american}) {
    SCOPED_TRACE(system.name().toStdString());
    const QLocale locale = programLocaleFor(system);
    EXPECT_EQ(numericShortDateFormat(locale.dateFormat(QLocale::ShortFormat)), "M/d/yy");
    EXPECT_EQ(printed(locale), printed(american));
    EXPECT_EQ(printed(locale).rfind("12/9/26 9:12:11", 0), 0u) << printed(locale);
  }
  EXPECT_EQ(programLocaleFor(german), german);
  EXPECT_EQ(printed(programLocaleFor(german)).rfind("09.12.26 21:12:11", 0), 0u);
}

}  // namespace
}  // namespace kestrel
