#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

#include "platform/UserInteraction.h"

namespace kestrel::test {

// The user in a test: every question the program asks is answered from one
// queue of scripted answers, in order, and recorded with its exact caption,
// text, icon and buttons. A question that the script does not expect (none
// queued, or the next answer is for another kind of question) is a test
// failure that names the question; the program then gets the answer that
// cancels. Answers left over when the double goes away are failures too.
//
// The double installs itself on construction and puts the previous service
// back on destruction.
class ScriptedUserInteraction : public UserInteraction {
 public:
  enum class Kind { Message, ChoiceBox, OpenFile, SaveFile, Dialog };

  struct Question {
    Kind kind = Kind::Message;
    QString caption;  // title bar; for dialogs the window title
    QString text;     // message; for dialogs the dialog's objectName
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
    QStringList buttonCaptions;             // choice boxes
    QString folder, filter, defaultSuffix;  // file dialogs
    // Save dialogs: whether the dialog itself asks before a file is replaced.
    ExistingFile existing = ExistingFile::AskToReplace;
  };

  // Plays the user's part in a modal dialog: the dialog is shown (so that its
  // show handlers have run), the script may fill fields and press buttons with
  // real events, and returns the dialog's result. A dialog still open after
  // the script is closed with that result.
  using DialogScript = std::function<int(QDialog&)>;

  ScriptedUserInteraction();
  ~ScriptedUserInteraction() override;
  ScriptedUserInteraction(const ScriptedUserInteraction&) = delete;
  ScriptedUserInteraction& operator=(const ScriptedUserInteraction&) = delete;

  void answerMessage(Answer answer);
  void answerChoice(int position);
  void answerOpenFile(const QString& path);
  void answerSaveFile(const QString& path);
  void answerDialog(DialogScript script);

  // Every question asked so far, in order.
  const std::vector<Question>& questions() const { return m_questions; }
  std::size_t pendingAnswers() const { return m_answers.size(); }

  Answer message(const QString& caption, const QString& text, Icon icon, Buttons buttons) override;
  int choiceBox(const QString& caption, const QString& text,
                const QStringList& buttonCaptions) override;
  QString openFileName(const QString& caption, const QString& folder,
                       const QString& filter) override;
  QString saveFileName(const QString& caption, const QString& folder, const QString& filter,
                       const QString& defaultSuffix, ExistingFile existing) override;
  int execDialog(QDialog& dialog) override;

  static const char* kindName(Kind kind);

 private:
  struct ScriptedAnswer {
    Kind kind;
    Answer answer = Answer::Ok;
    int position = 0;
    QString path;
    DialogScript script;
  };

  // Records the question and hands out the next answer when it is of the
  // question's kind; otherwise reports the failure and returns nullptr.
  const ScriptedAnswer* take(const Question& question);

  UserInteraction* m_previous = nullptr;
  std::vector<Question> m_questions;
  std::deque<ScriptedAnswer> m_answers;
  ScriptedAnswer m_current;  // the answer being handed out
};

}  // namespace kestrel::test
