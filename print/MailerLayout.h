#pragma once

#include <QString>
#include <string>

#include "mailer/PrintRequest.h"
#include "numbering/BarcodeTypes.h"
#include "print/PageCanvas.h"
#include "print/PageMapping.h"

namespace kestrel {

// The variable items of the postal service's certified-mailer stock. The
// mailer is printed upside down on the sheet, so nearly every text runs at 180
// degrees and a few at 270; positions are inches from the sheet's top-left
// corner as it lies in the printer, and every one goes through the page
// mapping so the alignment offsets move all items alike. The stock carries the
// form's own lines and captions; only the items below are drawn.

// The open page the groups draw on.
struct LayoutPage {
  PageCanvas& canvas;
  const PageMapping& mapping;
  QString baseFace;  // face of the caller's base font ("Arial")
};

// The four Code 128 images of the T and F numbers and their eight
// human-readable copies. This is also the whole of a pre-printed label.
// `symbology` is bcCode128 or bcEAN128 (GS1-128).
void drawBarCodeGroup(const LayoutPage& page, const std::string& tNumber,
                      const std::string& fNumber, TBarCodeType symbology);

// The POSTNET bar codes of the sender's ZIP Code, and of the recipient's when
// the extra label carries the recipient's address.
void drawPostnetGroup(const LayoutPage& page, const PrintRequest& request);

// Addresses, "RE:" and comment lines, the extra label and the receipt block.
void drawTextGroup(const LayoutPage& page, const PrintRequest& request);

}  // namespace kestrel
