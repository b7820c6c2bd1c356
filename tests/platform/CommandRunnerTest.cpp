#include <gtest/gtest.h>

#include <stdexcept>

#include "ScriptedUserInteraction.h"
#include "platform/CommandRunner.h"

namespace kestrel {
namespace {

using test::ScriptedUserInteraction;

TEST(CommandRunner, AnExceptionEndsTheCommandInTheGeneralErrorDisplay) {
  ScriptedUserInteraction user;
  user.answerMessage(UserInteraction::Answer::Ok);
  bool after = false;
  const bool ok = runCommand([&] {
    throw std::runtime_error("Error # 2 (File not found)\r\nC:\\Caf\xE9.dbf");
    after = true;
  });
  EXPECT_FALSE(ok);
  EXPECT_FALSE(after);
  ASSERT_EQ(user.questions().size(), 1u);
  const auto& shown = user.questions()[0];
  EXPECT_EQ(shown.caption, "Kestrel");
  EXPECT_EQ(shown.text, QString::fromUtf8("Error # 2 (File not found)\r\nC:\\Café.dbf"));
  EXPECT_EQ(shown.icon, UserInteraction::Icon::Error);
  EXPECT_EQ(shown.buttons, UserInteraction::Buttons::Ok);
}

TEST(CommandRunner, ACommandThatSucceedsShowsNothing) {
  ScriptedUserInteraction user;
  int runs = 0;
  EXPECT_TRUE(runCommand([&] { ++runs; }));
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(user.questions().empty());
}

TEST(CommandRunner, InformationUsesTheTitleAndItsIcon) {
  ScriptedUserInteraction user;
  user.answerMessage(UserInteraction::Answer::Ok);
  showInformation("Done");
  ASSERT_EQ(user.questions().size(), 1u);
  EXPECT_EQ(user.questions()[0].caption, "Kestrel");
  EXPECT_EQ(user.questions()[0].icon, UserInteraction::Icon::Information);
}

}  // namespace
}  // namespace kestrel
