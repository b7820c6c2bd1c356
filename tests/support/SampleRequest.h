#pragma once

#include "mailer/PrintRequest.h"

namespace kestrel::test {

// One ordinary mailer for the print tests and the print benchmark: three-line
// sender and recipient blocks, three fees and their total, customer 123456789
// with serial 0000001, no alignment offsets and the extra label. A test sets
// only the slots it is about, so that they stand out.
inline PrintRequest sampleRequest() {
  return {"Sender Name",
          "123 Main St",
          "Anytown ST 12345",
          "",
          "",
          "12345",
          "Recipient Name",
          "456 Oak Ave",
          "Othertown OT 54321",
          "",
          "",
          "54321",
          "Invoice 17",
          "Second notice",
          "N",
          "123456789",
          "0000001",
          "     3.20",
          "     4.40",
          "     3.55",
          "",
          "    11.15",
          "0",
          "0",
          "Yes",
          "Addressed To",
          "-1",
          "-1"};
}

// The sample with all five lines of both blocks filled and ZIP+4 codes, for
// what has to draw (or time) every line.
inline PrintRequest fullSampleRequest() {
  PrintRequest request = sampleRequest();
  const char* sender[] = {"Sender Name", "Shipping Dept.", "123 Main St", "Suite 4",
                          "Anytown ST 12345"};
  const char* recipient[] = {"Recipient Name", "c/o Acme", "456 Oak Ave", "Floor 2",
                             "Othertown OT 54321"};
  for (int line = 0; line < slot::kLinesPerBlock; ++line) {
    request[slot::kSenderLine1 + line] = sender[line];
    request[slot::kRecipientLine1 + line] = recipient[line];
  }
  request[slot::kSenderZip] = "12345-6789";
  request[slot::kRecipientZip] = "54321-1234";
  return request;
}

}  // namespace kestrel::test
