#pragma once

#include <QLocale>

namespace kestrel {

// The locale every date and time the program shows or prints is written in.
// A machine without a locale (the C or POSIX locale, as a machine set up by
// hand often is) counts as U.S. English: the program fills in U.S. postal
// forms, and the C locale's day-first "9 Dec 2026" and its numeric
// counterpart 09/12/2026 read wrongly to its users. Any other locale is the
// system's, as the user chose it.
QLocale programLocale();
// The same rule for a given system locale.
QLocale programLocaleFor(const QLocale& system);

// Makes programLocale() the default of every QLocale() and every widget, so
// that date fields show dates as the reports print them. Called at start-up.
void useProgramLocale();

}  // namespace kestrel
