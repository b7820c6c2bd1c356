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

enum class Kind { Text, SharedText, Flag, Number };

// A stored field of the record: where the file keeps it and what a file
// without it gives.
struct Entry {
  const char* section;
  const char* key;
  Kind kind;
  std::string SettingsRecord::*text = nullptr;
  bool SettingsRecord::*flag = nullptr;
  int SettingsRecord::*number = nullptr;
  const char* textDefault = "";
  bool flagDefault = false;
};

constexpr Entry text(const char* section, const char* key, std::string SettingsRecord::*field,
                     const char* byDefault = "") {
  return {section, key, Kind::Text, field, nullptr, nullptr, byDefault, false};
}

constexpr Entry sharedText(const char* key, std::string SettingsRecord::*field,
                           const char* byDefault) {
  return {"Values", key, Kind::SharedText, field, nullptr, nullptr, byDefault, false};
}

constexpr Entry flag(const char* key, bool SettingsRecord::*field, bool byDefault) {
  return {"Values", key, Kind::Flag, nullptr, field, nullptr, "", byDefault};
}

constexpr Entry number(const char* key, int SettingsRecord::*field) {
  return {"Print Align", key, Kind::Number, nullptr, nullptr, field, "", false};
}

// In the order the file has always had them (a new file lists its sections
// in the order of their first entry). The brand's folder entries, spelled
// differently for reading and writing, follow them.
constexpr Entry kEntries[] = {
    text("Type", "Company", &SettingsRecord::Company),
    text("YourAddress", "Line1", &SettingsRecord::Line1),
    text("YourAddress", "Line2", &SettingsRecord::Line2),
    text("YourAddress", "Line3", &SettingsRecord::Line3),
    text("YourAddress", "Line4", &SettingsRecord::Line4),
    text("YourAddress", "City", &SettingsRecord::City),
    text("YourAddress", "State", &SettingsRecord::State),
    text("YourAddress", "Zip", &SettingsRecord::Zip),
    text("Values", "Postage", &SettingsRecord::Postage, "0.39"),
    text("Values", "CertFee", &SettingsRecord::CertFee, "2.40"),
    text("Values", "Return", &SettingsRecord::Return, "1.85"),
    text("Values", "Restricted", &SettingsRecord::Restricted, "3.50"),
    flag("PrintBarCode", &SettingsRecord::PrintBarCode, true),
    sharedText("CustID", &SettingsRecord::CustID, "000000000"),
    sharedText("SerialNum", &SettingsRecord::SerialNum, "0000000"),
    flag("Increment", &SettingsRecord::Increment, true),
    sharedText("MailerNum", &SettingsRecord::MailerNum, "71000000000000000000"),
    flag("IMpbBarCodes", &SettingsRecord::IMpbBarCodes, false),
    text("Printing", "PrintExtraLabel", &SettingsRecord::PrintExtraLabel, "Yes"),
    text("Printing", "ExtraLabel", &SettingsRecord::ExtraLabel, "Addressed To"),
    number("LeftRight", &SettingsRecord::LeftRight),
    number("TopBottom", &SettingsRecord::TopBottom),
};

}  // namespace

std::string settingsFilePath() {
  return machineFolderPath() + kSettingsFileName;
}

void loadSettings(SettingsRecord& s, const std::string& path,
                  const std::function<void()>& applyDefaultBranding) {
  const ProfileFile file = ProfileFile::load(path);
  for (const Entry& entry : kEntries) {
    switch (entry.kind) {
      case Kind::Text:
      case Kind::SharedText:
        s.*entry.text = file.readString(entry.section, entry.key, entry.textDefault);
        break;
      case Kind::Flag:
        s.*entry.flag = file.readBool(entry.section, entry.key, entry.flagDefault);
        break;
      case Kind::Number:
        s.*entry.number = file.readInt(entry.section, entry.key, 0);
        break;
    }
  }
  if (s.Company.empty() && applyDefaultBranding) applyDefaultBranding();
  s.BarCodeApp = file.readBool(kReadTypeSection, "BarCodeApp", true);
  s.AddressFolder = file.readString("System Path", kReadFolderKey, defaultAddressFolder(s));
}

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
  for (const Entry& entry : kEntries) {
    switch (entry.kind) {
      case Kind::Text:
        file.writeString(entry.section, entry.key, s.*entry.text);
        break;
      case Kind::SharedText:
        // The shared numbering fields are another copy's as much as ours:
        // they are changed only by the numbering, under the lock
        // (SharedNumbering.h). Here they are written only into a file that
        // does not hold them yet.
        if (!file.find(entry.section, entry.key))
          file.writeString(entry.section, entry.key, s.*entry.text);
        break;
      case Kind::Flag:
        file.writeBool(entry.section, entry.key, s.*entry.flag);
        break;
      case Kind::Number:
        file.writeInt(entry.section, entry.key, s.*entry.number);
        break;
    }
  }
  file.writeBool(kWriteTypeSection, "BarCodeApp", s.BarCodeApp);
  file.writeString("System Path", kWriteFolderKey, s.AddressFolder);

  return file.save(path);
}

}  // namespace kestrel
