#include "print/PrintFonts.h"

#include <QFont>
#include <QStringList>

namespace kestrel {

void registerPrintFonts() {
  if (!QFont::substitutes(kOcrFace).contains(QStringLiteral("OCRA")))
    QFont::insertSubstitution(kOcrFace, QStringLiteral("OCRA"));
}

}  // namespace kestrel
