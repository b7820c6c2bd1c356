#pragma once

class QWidget;

namespace kestrel {

struct SettingsRecord;

// "&Options" > "&Mailer Number": shows the number the next mailer will get
// and lets the user set it.
//
// Remembers the numbering state (the serial and customer ID without their
// "-", the serial cut to seven characters, the stock number as it is),
// advances it so that the dialog shows the next mailer's number, and opens
// TF_Mailer without its check box through the user-interaction service. On
// OK the state is stepped back, so that the next print's advance arrives at
// exactly the number confirmed; otherwise the remembered state is put back,
// which leaves the identifiers free of hyphens. The advance and what the
// command leaves behind are written to the settings file at once, under its
// lock (SharedNumbering.h), so that every copy of the program numbers on
// from the number confirmed here.
//
// Throws NumberingFileError when the settings file cannot be locked or
// written, and NumberConversionError when the serial or stock counter does not read
// as a number; the numbering state is then as it was before the command
// (the caller's command runner shows the error). Returns whether the dialog
// was confirmed.
bool MailerNumber1Click(SettingsRecord& settings, QWidget* parent);

}  // namespace kestrel
