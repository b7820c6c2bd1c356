#include "platform/StorageConnection.h"

#include <QLocale>

#include "dbase/DateText.h"
#include "dbase/TableWarnings.h"
#include "platform/AnsiText.h"
#include "platform/ApplicationTitle.h"
#include "platform/UserInteraction.h"

namespace kestrel {

void connectStorageLayer() {
  SetWarningHandler([](const std::string& caption, const std::string& text) {
    const QString title =
        caption.empty() ? QString::fromLatin1(kApplicationTitle) : fromAnsi(caption);
    ui().message(title, fromAnsi(text), UserInteraction::Icon::None,
                 UserInteraction::Buttons::Ok);
  });
  SetProgramDateFormat(QLocale::system().dateFormat(QLocale::ShortFormat).toStdString());
}

}  // namespace kestrel
