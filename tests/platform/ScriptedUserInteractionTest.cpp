// The double is what every window test relies on to notice a wrong question,
// so its own failure reports are checked here.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "ScriptedUserInteraction.h"

namespace kestrel {
namespace {

using test::ScriptedUserInteraction;
using Answer = UserInteraction::Answer;

TEST(ScriptedUserInteraction, AnswersInOrderAndRecordsEveryQuestion) {
  ScriptedUserInteraction user;
  user.answerMessage(Answer::Yes);
  user.answerChoice(2);
  user.answerOpenFile("/tmp/a.dbf");
  EXPECT_EQ(
      ui().message("T", "Sure?", UserInteraction::Icon::Question, UserInteraction::Buttons::YesNo),
      Answer::Yes);
  EXPECT_EQ(ui().choiceBox("C", "Which?", {"&Overwrite", "&Append", "&Cancel"}), 2);
  EXPECT_EQ(ui().openFileName("Open", "/tmp", "*.dbf"), "/tmp/a.dbf");
  ASSERT_EQ(user.questions().size(), 3u);
  EXPECT_EQ(user.questions()[1].buttonCaptions.size(), 3);
  EXPECT_EQ(user.questions()[2].folder, "/tmp");
  EXPECT_EQ(user.pendingAnswers(), 0u);
}

TEST(ScriptedUserInteraction, AnUnexpectedQuestionFailsAndNamesIt) {
  EXPECT_NONFATAL_FAILURE(
      {
        ScriptedUserInteraction user;
        EXPECT_EQ(ui().message("Kestrel", "Surprise", UserInteraction::Icon::Error,
                               UserInteraction::Buttons::YesNoCancel),
                  Answer::Cancel);
      },
      "Unexpected message box \"Kestrel\": Surprise");
  EXPECT_NONFATAL_FAILURE(
      {
        ScriptedUserInteraction user;
        user.answerMessage(Answer::Ok);
        EXPECT_EQ(ui().choiceBox("Q", "Pick", {"&A"}), 0);
        user.answerMessage(Answer::Ok);  // both queued answers are used up, so one failure
        ui().message("", "", UserInteraction::Icon::None, UserInteraction::Buttons::Ok);
        ui().message("", "", UserInteraction::Icon::None, UserInteraction::Buttons::Ok);
      },
      "the next scripted answer is for a message box");
}

TEST(ScriptedUserInteraction, LeftoverAnswersFail) {
  EXPECT_NONFATAL_FAILURE(
      {
        ScriptedUserInteraction user;
        user.answerSaveFile("/tmp/x.txt");
      },
      "save-file dialog was never asked for");
}

TEST(ScriptedUserInteraction, ADialogScriptFillsFieldsWithRealKeysAndPressesButtons) {
  ScriptedUserInteraction user;
  QDialog dialog;
  dialog.setObjectName("TF_Test");
  dialog.setWindowTitle("Test");
  auto* edit = new QLineEdit(&dialog);
  edit->setObjectName("editName");
  auto* ok = new QPushButton("OK", &dialog);
  ok->setObjectName("btnOK");
  QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  user.answerDialog([](QDialog& shown) {
    EXPECT_TRUE(shown.isVisible());
    QTest::keyClicks(shown.findChild<QLineEdit*>("editName"), "Ann");
    QTest::mouseClick(shown.findChild<QPushButton*>("btnOK"), Qt::LeftButton);
    return shown.result();
  });
  EXPECT_EQ(ui().execDialog(dialog), QDialog::Accepted);
  EXPECT_EQ(edit->text(), "Ann");
  EXPECT_FALSE(dialog.isVisible());
  ASSERT_EQ(user.questions().size(), 1u);
  EXPECT_EQ(user.questions()[0].caption, "Test");
  EXPECT_EQ(user.questions()[0].text, "TF_Test");
}

}  // namespace
}  // namespace kestrel
