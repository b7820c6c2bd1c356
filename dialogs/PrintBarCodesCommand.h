#pragma once

#include <QFont>

#include "core/Settings.h"

class QWidget;

namespace kestrel {

class PageCanvas;

// File, "Print &Bar Codes": pre-prints the bar codes and numbers of mailers
// onto blank stock, one label a sheet, after a confirmation and the dialog
// TF_PrintBarCode. Nothing is logged. Settings keep the dialog's start serial
// and customer ID (the serial is not moved by the run); Cancel puts back the
// numbering state of before the command.
//
// When the printer fails part way, the user is told how many labels were
// printed, at which serial the run stopped and why, so that no one believes
// in labels that never came out.
void printBarCodesCommand(QWidget* parent, SettingsRecord& settings, const QFont& baseFont);

// The same, printing on the given canvas (tests and previews).
void printBarCodesCommand(QWidget* parent, SettingsRecord& settings, const QFont& baseFont,
                          PageCanvas& canvas);

}  // namespace kestrel
