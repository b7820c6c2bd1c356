#include "addresses/AddressBook.h"

#include "dbase/DataSet.h"
#include "dbase/TTzDbf.h"

namespace kestrel {

std::vector<std::string> addressBookFieldList() {
  return {"address,M,10,0", "city,C,35,0", "state,C,2,0", "zip,C,10,0"};
}

void setUpAddressBook(TTzDbf& table, const std::string& path) {
  table.Close();
  table.SetTableLanguage(TTableLanguage::tlOem);
  table.SetExclusive(false);
  table.SetHideDeletedRecs(false);
  table.SetCreateIfNotFound(true);
  table.SetDbfFields(addressBookFieldList());
  table.SetDbfFileName(path);
}

void checkAddressBookFields(DataSet& dataSet) {
  // Reading each field is what the bound controls do first; the storage
  // layer names the field that is missing, or the memo that is not one.
  std::vector<std::string> lines;
  dataSet.GetMField("address", lines);
  for (const char* field : {"city", "state", "zip"}) dataSet.GetFieldText(field);
}

}  // namespace kestrel
