#include "core/SettingsFile.h"

#include <optional>

#include "core/Folders.h"
#include "core/ProfileFile.h"
#include "core/SharedNumbering.h"

namespace kestrel {
namespace {

// Loading asks for [Type] BarCodeApp and [System Path] Default; saving spells
// them [type] and default. Names match without regard to case, so both land in
// the same entries; the spellings are kept as the file has always had them.
constexpr const char* kReadTypeSection = "Type";
constexpr const char* kWriteTypeSection = "type";
constexpr const char* kReadFolderKey = "Default";
constexpr const char* kWriteFolderKey = "default";

std::string defaultAddressFolder(const SettingsRecord& settings) {
  return settings.ProgramFolder + "Addresses";
}

}  // namespace

std::string settingsFilePath() {
  return machineFolderPath() + kSettingsFileName;
}

void loadSettings(SettingsRecord& s, const std::string& path,
                  const std::function<void()>& applyDefaultBranding) {
  const ProfileFile file = ProfileFile::load(path);
  s.Company = file.readString("Type", "Company", "");
  if (s.Company.empty() && applyDefaultBranding) applyDefaultBranding();

  s.Line1 = file.readString("YourAddress", "Line1", "");
  s.Line2 = file.readString("YourAddress", "Line2", "");
  s.Line3 = file.readString("YourAddress", "Line3", "");
  s.Line4 = file.readString("YourAddress", "Line4", "");
  s.City = file.readString("YourAddress", "City", "");
  s.State = file.readString("YourAddress", "State", "");
  s.Zip = file.readString("YourAddress", "Zip", "");

  s.Postage = file.readString("Values", "Postage", "0.39");
  s.CertFee = file.readString("Values", "CertFee", "2.40");
  s.Return = file.readString("Values", "Return", "1.85");
  s.Restricted = file.readString("Values", "Restricted", "3.50");
  s.PrintBarCode = file.readBool("Values", "PrintBarCode", true);
  s.CustID = file.readString("Values", "CustID", "000000000");
  s.SerialNum = file.readString("Values", "SerialNum", "0000000");
  s.Increment = file.readBool("Values", "Increment", true);
  s.MailerNum = file.readString("Values", "MailerNum", "71000000000000000000");
  s.IMpbBarCodes = file.readBool("Values", "IMpbBarCodes", false);

  s.PrintExtraLabel = file.readString("Printing", "PrintExtraLabel", "Yes");
  s.ExtraLabel = file.readString("Printing", "ExtraLabel", "Addressed To");
  s.LeftRight = file.readInt("Print Align", "LeftRight", 0);
  s.TopBottom = file.readInt("Print Align", "TopBottom", 0);
  s.BarCodeApp = file.readBool(kReadTypeSection, "BarCodeApp", true);

  s.AddressFolder = file.readString("System Path", kReadFolderKey, defaultAddressFolder(s));
}

namespace {

// The shared numbering fields are another copy's as much as ours: they are
// changed only by the numbering, under the lock (SharedNumbering.h). Here
// they are written only into a file that does not hold them yet.
void writeIfAbsent(ProfileFile& file, const char* key, const std::string& value) {
  if (!file.find("Values", key)) file.writeString("Values", key, value);
}

}  // namespace

bool writeSettingsFile(const SettingsRecord& s, const std::string& path) {
  // Under the numbering's lock, so that this read-modify-write never puts
  // back a number that another copy has moved on from meanwhile.
  std::optional<SettingsFileLock> lock;
  try {
    lock.emplace(path);
  } catch (const NumberingFileError&) {
    return false;
  }
  // The file as another copy of the program may have left it: only our
  // entries change.
  ProfileFile file = ProfileFile::load(path);
  file.writeString("Type", "Company", s.Company);

  file.writeString("YourAddress", "Line1", s.Line1);
  file.writeString("YourAddress", "Line2", s.Line2);
  file.writeString("YourAddress", "Line3", s.Line3);
  file.writeString("YourAddress", "Line4", s.Line4);
  file.writeString("YourAddress", "City", s.City);
  file.writeString("YourAddress", "State", s.State);
  file.writeString("YourAddress", "Zip", s.Zip);

  file.writeString("Values", "Postage", s.Postage);
  file.writeString("Values", "CertFee", s.CertFee);
  file.writeString("Values", "Return", s.Return);
  file.writeString("Values", "Restricted", s.Restricted);
  file.writeBool("Values", "PrintBarCode", s.PrintBarCode);
  writeIfAbsent(file, "CustID", s.CustID);
  writeIfAbsent(file, "SerialNum", s.SerialNum);
  file.writeBool("Values", "Increment", s.Increment);
  writeIfAbsent(file, "MailerNum", s.MailerNum);
  file.writeBool("Values", "IMpbBarCodes", s.IMpbBarCodes);

  file.writeString("Printing", "PrintExtraLabel", s.PrintExtraLabel);
  file.writeString("Printing", "ExtraLabel", s.ExtraLabel);
  file.writeInt("Print Align", "LeftRight", s.LeftRight);
  file.writeInt("Print Align", "TopBottom", s.TopBottom);
  file.writeBool(kWriteTypeSection, "BarCodeApp", s.BarCodeApp);
  file.writeString("System Path", kWriteFolderKey, s.AddressFolder);

  return file.save(path);
}

}  // namespace kestrel
