#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QDialog;
class QWidget;

namespace kestrel {

// Every question and message the program puts to the user goes through this
// service: message boxes, the custom-button ChoiceBox, file dialogs and modal
// dialogs. The program installs the Qt implementation; tests install a
// scripted double with queued answers, so that commands run end to end
// without a person and the exact texts can be checked.
class UserInteraction {
 public:
  enum class Icon { None, Error, Information, Question, Warning };
  // YesNoDefaultNo: Enter answers No, for a question whose Yes cannot be undone.
  enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, YesNoDefaultNo };
  enum class Answer { Ok, Cancel, Yes, No };

  virtual ~UserInteraction() = default;

  // A message box with the caption, text, icon kind and fixed button set.
  virtual Answer message(const QString& caption, const QString& text, Icon icon,
                         Buttons buttons) = 0;

  // The modal question with the caller's button captions; returns the 1-based
  // position of the pressed caption.
  virtual int choiceBox(const QString& caption, const QString& text,
                        const QStringList& buttonCaptions) = 0;

  // File dialogs; an empty result means the user cancelled. `folder` may
  // end in a file name, which the dialog then proposes. Filters are written
  // as "Description|pattern;pattern|Description|pattern".
  virtual QString openFileName(const QString& caption, const QString& folder,
                               const QString& filter) = 0;
  // The open dialog for a file that is opened, or made when it is not there
  // yet: a name the user types is taken whether or not such a file exists.
  // A double answers it as an ordinary open.
  virtual QString openOrNewFileName(const QString& caption, const QString& folder,
                                    const QString& filter) {
    return openFileName(caption, folder, filter);
  }
  // What the save dialog does when the user names a file that is there
  // already: ask whether to replace it, or take the name as it is, for a
  // command that asks its own question about the file or adds to it.
  enum class ExistingFile { AskToReplace, TakeAsIs };
  // The save dialog is one object shared by the commands: an empty folder or
  // filter shows what the previous save dialog of the run was left with.
  virtual QString saveFileName(const QString& caption, const QString& folder, const QString& filter,
                               const QString& defaultSuffix, ExistingFile existing) = 0;
  // Sets the starting folder of the shared save dialog without showing it.
  virtual void setSaveFolder(const QString& folder) { (void)folder; }

  // Runs a dialog modally and returns its result code (QDialog::Accepted or
  // QDialog::Rejected, or another code the dialog set with done()).
  virtual int execDialog(QDialog& dialog) = 0;
};

// The installed service. Requires: one has been installed.
UserInteraction& ui();
// Installs the service; the caller keeps ownership. Returns the previous one.
UserInteraction* setUserInteraction(UserInteraction* service);

// Shorthands for the message kinds the program uses everywhere.
void showError(const QString& text);        // application title, error icon, OK
void showInformation(const QString& text);  // application title, information icon, OK

}  // namespace kestrel
