#include "ScriptedUserInteraction.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>

namespace kestrel::test {

ScriptedUserInteraction::ScriptedUserInteraction() : m_previous(setUserInteraction(this)) {}

ScriptedUserInteraction::~ScriptedUserInteraction() {
  setUserInteraction(m_previous);
  for (const auto& left : m_answers) {
    ADD_FAILURE() << "Scripted answer for a " << kindName(left.kind) << " was never asked for";
  }
}

const char* ScriptedUserInteraction::kindName(Kind kind) {
  switch (kind) {
    case Kind::Message:
      return "message box";
    case Kind::ChoiceBox:
      return "choice box";
    case Kind::OpenFile:
      return "open-file dialog";
    case Kind::SaveFile:
      return "save-file dialog";
    case Kind::Dialog:
      return "modal dialog";
  }
  return "?";
}

void ScriptedUserInteraction::answerMessage(Answer answer) {
  m_answers.push_back({Kind::Message, answer, 0, {}, {}});
}

void ScriptedUserInteraction::answerChoice(int position) {
  m_answers.push_back({Kind::ChoiceBox, Answer::Ok, position, {}, {}});
}

void ScriptedUserInteraction::answerOpenFile(const QString& path) {
  m_answers.push_back({Kind::OpenFile, Answer::Ok, 0, path, {}});
}

void ScriptedUserInteraction::answerSaveFile(const QString& path) {
  m_answers.push_back({Kind::SaveFile, Answer::Ok, 0, path, {}});
}

void ScriptedUserInteraction::answerDialog(DialogScript script) {
  m_answers.push_back({Kind::Dialog, Answer::Ok, 0, {}, std::move(script)});
}

const ScriptedUserInteraction::ScriptedAnswer* ScriptedUserInteraction::take(
    const Question& question) {
  m_questions.push_back(question);
  if (m_answers.empty() || m_answers.front().kind != question.kind) {
    ADD_FAILURE() << "Unexpected " << kindName(question.kind) << " \""
                  << question.caption.toStdString() << "\": " << question.text.toStdString()
                  << (m_answers.empty() ? std::string(" (no scripted answer left)")
                                        : std::string(" (the next scripted answer is for a ") +
                                              kindName(m_answers.front().kind) + ")");
    return nullptr;
  }
  m_current = std::move(m_answers.front());
  m_answers.pop_front();
  return &m_current;
}

UserInteraction::Answer ScriptedUserInteraction::message(const QString& caption,
                                                         const QString& text, Icon icon,
                                                         Buttons buttons) {
  Question question{Kind::Message, caption, text, icon, buttons, {}, {}, {}, {}, {}};
  if (const ScriptedAnswer* answer = take(question)) return answer->answer;
  switch (buttons) {
    case Buttons::Ok:
      return Answer::Ok;
    case Buttons::YesNo:
    case Buttons::YesNoDefaultNo:
      return Answer::No;
    case Buttons::OkCancel:
    case Buttons::YesNoCancel:
      return Answer::Cancel;
  }
  return Answer::Cancel;
}

int ScriptedUserInteraction::choiceBox(const QString& caption, const QString& text,
                                       const QStringList& buttonCaptions) {
  Question question{Kind::ChoiceBox, caption, text, Icon::None, Buttons::Ok,
                    buttonCaptions,  {},      {},   {},         {}};
  const ScriptedAnswer* answer = take(question);
  if (answer == nullptr) return 0;  // no caller treats 0 as one of its buttons
  if (answer->position < 1 || answer->position > buttonCaptions.size()) {
    ADD_FAILURE() << "Scripted choice " << answer->position << " for \"" << caption.toStdString()
                  << "\" is not one of its " << buttonCaptions.size() << " buttons";
  }
  return answer->position;
}

QString ScriptedUserInteraction::openFileName(const QString& caption, const QString& folder,
                                              const QString& filter) {
  Question question{Kind::OpenFile, caption, {}, Icon::None, Buttons::Ok, {},
                    folder,         filter,  {}, {}};
  const ScriptedAnswer* answer = take(question);
  return answer != nullptr ? answer->path : QString();
}

QString ScriptedUserInteraction::saveFileName(const QString& caption, const QString& folder,
                                              const QString& filter, const QString& defaultSuffix,
                                              ExistingFile existing) {
  Question question{Kind::SaveFile, caption,       {},      Icon::None, Buttons::Ok, {}, folder,
                    filter,         defaultSuffix, existing};
  const ScriptedAnswer* answer = take(question);
  return answer != nullptr ? answer->path : QString();
}

int ScriptedUserInteraction::execDialog(QDialog& dialog) {
  Question question{Kind::Dialog,
                    dialog.windowTitle(),
                    dialog.objectName(),
                    Icon::None,
                    Buttons::Ok,
                    {},
                    {},
                    {},
                    {},
                    {}};
  const ScriptedAnswer* answer = take(question);
  if (answer == nullptr) return QDialog::Rejected;
  const DialogScript script = answer->script;
  dialog.show();
  QApplication::processEvents();
  const int result = script ? script(dialog) : QDialog::Rejected;
  if (dialog.isVisible()) dialog.done(result);
  return result;
}

}  // namespace kestrel::test
