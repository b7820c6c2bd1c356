// Options > Name & Address Text Files: Import reads a text file of names and
// addresses into an address table, Export writes a table out as such a file.
#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include "addresses/NameAddressLine.h"
#include "addresses/NameAddressTransfer.h"
#include "app/U_Main.h"
#include "core/Settings.h"
#include "dbase/OsFile.h"
#include "dialogs/ChoiceBox.h"
#include "platform/AnsiText.h"
#include "platform/ApplicationTitle.h"
#include "platform/BusyCursor.h"
#include "platform/CommandRunner.h"
#include "platform/LocalPath.h"
#include "platform/ProgressWindow.h"
#include "platform/UserInteraction.h"

namespace kestrel {

namespace {

const QString kImportTitle = QStringLiteral("Read Name and Address from File");
const QString kImportFilter = QStringLiteral("Import Files(*.txt;*.csv)|*.txt;*.csv|All Files|*.*");
const QString kTableFilter = QStringLiteral("DBF Files (*.dbf)|*.dbf");
const QString kExportOpenFilter = QStringLiteral("dbf Files(*.dbf)|*.dbf|All Files|*.*");
const QString kSameTableFound = QStringLiteral(
    "A database of the same name has been found in this location.  Would you like to "
    "overwrite this database, or append to this database?");
const QString kImportError = QStringLiteral("Error on import: ");
const QString kExportError = QStringLiteral("Error on export: ");

enum ExistingTableChoice { kOverwrite = 1, kAppend = 2, kCancel = 3 };

QString addressFolder() {
  return fromLocalPath(Settings().AddressFolder);
}

// A file name proposed in the address folder.
QString proposedIn(const std::string& name) {
  return QDir(addressFolder()).filePath(fromLocalPath(name));
}

QString numbersText(const std::vector<std::uint64_t>& numbers, std::uint64_t count) {
  QStringList texts;
  for (std::uint64_t n : numbers) texts << QString::number(n);
  QString text = texts.join(QStringLiteral(", "));
  if (count > numbers.size()) text += QStringLiteral(", ...");
  return text;
}

void showFailure(const QString& prefix, const std::exception& error) {
  ui().message(QString::fromLatin1(kApplicationTitle), prefix + fromAnsi(error.what()),
               UserInteraction::Icon::Error, UserInteraction::Buttons::Ok);
}

}  // namespace

void TF_Main::MIImportClick() {
  const QString textPath = ui().openFileName(kImportTitle, addressFolder(), kImportFilter);
  if (textPath.isEmpty()) return;

  // The address table of database mode is closed while the import runs (it
  // may be the very table imported into) and shown again on every path,
  // before any error is told.
  closeAddressBook();
  const auto showAddressBookAgain = [this] { runCommand([this] { reopenAddressBook(); }); };

  // An existing table gets the question below (overwrite, append or
  // cancel), not the save dialog's own "replace it?".
  const QString chosenTable =
      ui().saveFileName(QString(), proposedIn(proposedTableName(toLocalPath(textPath))),
                        kTableFilter, QString(), UserInteraction::ExistingFile::TakeAsIs);
  if (chosenTable.isEmpty()) {
    showAddressBookAgain();
    return;
  }
  // A table whose name differs only in case is the one the storage layer
  // opens, so it is the one asked about (and overwritten).
  const QString tablePath = fromLocalPath(findIgnoringCase(toLocalPath(chosenTable)));
  bool overwrite = false;
  if (QFileInfo::exists(tablePath)) {
    const int choice = ChoiceBox(
        QString::fromLatin1(kApplicationTitle), kSameTableFound,
        {QStringLiteral("&Overwrite"), QStringLiteral("&Append"), QStringLiteral("&Cancel")});
    if (choice == kCancel) {
      showAddressBookAgain();
      return;
    }
    overwrite = choice == kOverwrite;
  }

  ImportOutcome outcome;
  try {
    BusyCursor busy;
    ProgressWindow progress(this, QStringLiteral("Import"),
                            QStringLiteral("Importing %1").arg(QFileInfo(textPath).fileName()));
    outcome = importNameAddressFile(
        toLocalPath(textPath), toLocalPath(tablePath), overwrite,
        [](const std::string& utf8) { return toAnsi(QString::fromUtf8(utf8)); },
        [&](std::uint64_t done, std::uint64_t total) { return progress.step(done, total); });
  } catch (const std::exception& error) {
    showAddressBookAgain();
    showFailure(kImportError, error);
    return;
  }
  if (outcome.cancelled) {
    showInformation(QStringLiteral("The import was cancelled. The %1 records read before "
                                   "were added to the table.")
                        .arg(outcome.records));
  } else {
    showInformation(QStringLiteral("Import Done."));
  }
  if (outcome.unreadableCount > 0) {
    showInformation(QStringLiteral("%1 of the lines could not be read and became empty "
                                   "records. Lines: %2")
                        .arg(outcome.unreadableCount)
                        .arg(numbersText(outcome.unreadableLines, outcome.unreadableCount)));
  }
  showAddressBookAgain();
}

void TF_Main::MIExportClick() {
  const QString tablePath = ui().openFileName(QString(), addressFolder(), kExportOpenFilter);
  if (tablePath.isEmpty()) return;
  // The save dialog keeps the filter of the last file dialog of this run. A
  // text file of that name is the user's own: the dialog asks before the
  // export replaces it.
  const QString textPath =
      ui().saveFileName(QString(), proposedIn(proposedTextName(toLocalPath(tablePath))), QString(),
                        QString(), UserInteraction::ExistingFile::AskToReplace);
  if (textPath.isEmpty()) return;

  ExportOutcome outcome;
  try {
    BusyCursor busy;
    ProgressWindow progress(this, QStringLiteral("Export"),
                            QStringLiteral("Exporting %1").arg(QFileInfo(tablePath).fileName()));
    outcome = exportNameAddressFile(
        toLocalPath(tablePath), toLocalPath(textPath),
        [&](std::uint64_t done, std::uint64_t total) { return progress.step(done, total); });
  } catch (const std::exception& error) {
    showFailure(kExportError, error);
    return;
  }
  showInformation(
      outcome.cancelled
          ? QStringLiteral("The export was cancelled after %1 records.").arg(outcome.records)
          : QStringLiteral("Export Done."));
}

}  // namespace kestrel
