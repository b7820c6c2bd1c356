// Any bytes as a settings file: reading every kind of value, updating entries
// and writing the file back must neither crash nor lose the lines it does not
// own.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/ProfileFile.h"
#include "core/ZipCode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  kestrel::ProfileFile file = kestrel::ProfileFile::fromText(bytes);
  if (file.text() != bytes) std::abort();  // reading alone changes nothing

  const std::string value = file.readString("Values", "Postage", "0.39");
  if (value.size() > kestrel::ProfileFile::kMaxValueLength) std::abort();
  file.readInt("Print Align", "LeftRight", 0);
  file.readBool("type", "BarCodeApp", true);
  kestrel::CleanZip(file.readString("YourAddress", "Zip", ""));

  file.writeString("Values", "Postage", value);
  file.writeInt("Print Align", "TopBottom", -1);
  file.writeString("New Section", "Key", bytes.substr(0, 64));
  const kestrel::ProfileFile reread = kestrel::ProfileFile::fromText(file.text());
  if (reread.readInt("Print Align", "TopBottom", 7) != -1) std::abort();
  return 0;
}
