#include "platform/StorageConnection.h"

#include <QRegularExpression>

#include "dbase/DateText.h"
#include "dbase/MessagePath.h"
#include "dbase/TableWarnings.h"
#include "platform/AnsiText.h"
#include "platform/ApplicationTitle.h"
#include "platform/LocalPath.h"
#include "platform/ProgramLocale.h"
#include "platform/UserInteraction.h"

namespace kestrel {

void connectStorageLayer() {
  SetWarningHandler([](const std::string& caption, const std::string& text) {
    const QString title =
        caption.empty() ? QString::fromLatin1(kApplicationTitle) : fromAnsi(caption);
    ui().message(title, fromAnsi(text), UserInteraction::Icon::None, UserInteraction::Buttons::Ok);
  });
  SetProgramDateFormat(numericShortDateFormat(programLocale().dateFormat(QLocale::ShortFormat)));
  // Messages are Windows-1252 text; a path in them is spelled in it too.
  SetMessagePathSpelling([](const std::string& path) { return toAnsi(fromLocalPath(path)); });
}

std::string numericShortDateFormat(const QString& systemFormat) {
  if (!systemFormat.contains(QStringLiteral("MMM"))) return systemFormat.toStdString();
  // Without this, today's date in the mailing log would be written as
  // "9 Dec 2026", which no date rule reads, and every log append would fail.
  QString format = systemFormat;
  format.replace(QRegularExpression(QStringLiteral("M{3,}")), QStringLiteral("MM"));
  format.replace(QRegularExpression(QStringLiteral("[^dMy]+")), QStringLiteral("/"));
  return format.toStdString();
}

}  // namespace kestrel
