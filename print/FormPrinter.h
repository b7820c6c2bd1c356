#pragma once

#include <QFont>
#include <string>

#include "core/Settings.h"
#include "mailer/PrintRequest.h"
#include "numbering/BarcodeTypes.h"
#include "print/PageCanvas.h"

namespace kestrel {

// The form printer: the only code that draws on the printer. Each mailer and
// each pre-printed label is one print job of exactly one page. It shows no
// messages; errors of the page device (PrintError) and of the numbering
// (NumberConversionError) end the call and reach the calling command.
//
// The base font is the caller's font for printing (face "Arial", 8 points):
// it is put on the page when a job starts and put back before it ends, and
// its face is the face of the receipt block's small type.

// Prints one mailer and returns its number: the T number when bar codes are
// printed, otherwise the request's number slot unchanged. Throws PrintError
// before starting the job when an alignment slot is not a whole number.
// `symbology` is that of the mailer numbers' bar codes (mailerSymbology).
std::string PrintMailer(PageCanvas& canvas, const PrintRequest& request, bool printBarCodes,
                        const QFont& baseFont, TBarCodeType symbology = TBarCodeType::bcCode128);
// The same on the current printer.
std::string PrintMailer(const PrintRequest& request, bool printBarCodes, const QFont& baseFont,
                        TBarCodeType symbology = TBarCodeType::bcCode128);

// The symbology of every mailer-number bar code: GS1-128 (FNC1 first, which
// is how the postal service's scanners know an Intelligent Mail package
// barcode) when the user chose IMpb symbols, else plain Code 128. The
// printed digits are the same either way.
TBarCodeType mailerSymbology(const SettingsRecord& settings);

// How far a run of pre-printed labels got; the command reports it when the
// run ends early.
struct LabelRunProgress {
  int labelsPrinted = 0;
  std::string serial;  // serial of the label being printed, or of the last one
};

// Prints `count` labels (none when count <= 0), one job each, carrying only
// the bar codes and numbers of a mailer, with serials counting up from
// startSerial (9999999 is followed by 0000001). Leaves the caller's settings
// alone. A start serial that is not a number prints the first label with
// serial 0000000 and then fails to count on (NumberConversionError).
void PrintBarCodeLabels(PageCanvas& canvas, int count, const std::string& custId,
                        const std::string& startSerial, int leftRight, int topBottom,
                        const QFont& baseFont, LabelRunProgress* progress = nullptr,
                        TBarCodeType symbology = TBarCodeType::bcCode128);
// The same on the current printer.
void PrintBarCodeLabels(int count, const std::string& custId, const std::string& startSerial,
                        int leftRight, int topBottom, const QFont& baseFont,
                        LabelRunProgress* progress = nullptr,
                        TBarCodeType symbology = TBarCodeType::bcCode128);

}  // namespace kestrel
