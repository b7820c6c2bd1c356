#include "dialogs/ChoiceBox.h"

#include "platform/UserInteraction.h"

namespace kestrel {

int ChoiceBox(const QString& caption, const QString& message, const QStringList& buttonCaptions) {
  return ui().choiceBox(caption, message, buttonCaptions);
}

}  // namespace kestrel
