#pragma once

#include <QString>
#include <QStringList>

namespace kestrel {

// A modal question with the caller's own button captions ("&" marks access
// keys). Returns the 1-based position of the pressed caption; the box can be
// closed only by its buttons. Goes through the user-interaction service, so
// tests answer it from their script.
int ChoiceBox(const QString& caption, const QString& message, const QStringList& buttonCaptions);

}  // namespace kestrel
