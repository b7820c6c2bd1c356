#pragma once

#include "platform/UserInteraction.h"

namespace kestrel {

// The user-interaction service of the running program: Qt's message boxes
// and file dialogs, ChoiceBoxWindow for questions with own captions, and
// QDialog::exec for modal dialogs. Boxes are parented to the active window.
class QtUserInteraction : public UserInteraction {
 public:
  Answer message(const QString& caption, const QString& text, Icon icon, Buttons buttons) override;
  int choiceBox(const QString& caption, const QString& text,
                const QStringList& buttonCaptions) override;
  QString openFileName(const QString& caption, const QString& folder,
                       const QString& filter) override;
  QString openOrNewFileName(const QString& caption, const QString& folder,
                            const QString& filter) override;
  QString saveFileName(const QString& caption, const QString& folder, const QString& filter,
                       const QString& defaultSuffix, ExistingFile existing) override;
  void setSaveFolder(const QString& folder) override { m_saveFolder = folder; }
  int execDialog(QDialog& dialog) override;

 private:
  // What the shared save dialog was left with.
  QString m_saveFolder;
  QString m_saveFilter;
};

// The file dialogs take filters as the program's commands write them,
// "Description|pattern;pattern|Description|pattern"; Qt's own form is
// "Description (pattern pattern);;Description (pattern)". A filter in Qt's
// form passes unchanged.
QString qtFileFilter(const QString& filter);

}  // namespace kestrel
