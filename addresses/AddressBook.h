#pragma once

#include <string>
#include <vector>

namespace kestrel {

class DataSet;
class TTzDbf;

// An AddressBook is any table with a memo field `address` (the recipient's
// name and street lines, one per memo line) and the character fields `city`,
// `state` and `zip`; names match without regard to case and other fields are
// ignored.

// The fields of an AddressBook created by database mode, in file order.
std::vector<std::string> addressBookFieldList();

// Points `table` at the file with the settings every AddressBook is opened
// with: OEM text, shared, deleted records visible, created with the field
// list above when the file does not exist. Does not open it.
void setUpAddressBook(TTzDbf& table, const std::string& path);

// Checks that an open data set has the four fields, `address` a memo. Throws
// the storage layer's own error for the first one that is missing or of the
// wrong kind.
void checkAddressBookFields(DataSet& dataSet);

}  // namespace kestrel
