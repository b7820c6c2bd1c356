#include "dbase/FieldDefinition.h"

#include <algorithm>
#include <cstdio>

#include "dbase/AsciiText.h"
#include "dbase/DbfLayout.h"
#include "dbase/ETableError.h"
#include "dbase/TableWarnings.h"

namespace kestrel {
namespace {

constexpr const char* kCreateError = "Invalid dBASE field definition [CreateDBF]";

bool isMemoLike(char type) {
  return type == 'M' || type == 'B' || type == 'G' || type == 'P';
}

std::string definitionText(const std::string& name, const std::string& type, int length,
                           int decimals) {
  return name + "," + type + "," + std::to_string(length) + "," + std::to_string(decimals);
}

}  // namespace

int readDefinitionInteger(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  if (i < text.size() && text[i] == '+') ++i;
  long long value = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    value = std::min<long long>(value * 10 + (text[i] - '0'), 1000000);
    ++i;
  }
  return static_cast<int>(value);
}

std::optional<std::vector<FieldDescriptor>> fieldsFromDefinitions(
    const std::vector<std::string>& definitions, const std::string& componentName) {
  for (const std::string& text : definitions) {
    if (std::count(text.begin(), text.end(), ',') != 3) return std::nullopt;
  }
  std::vector<FieldDescriptor> fields;
  std::size_t offset = 1;
  for (const std::string& text : definitions) {
    std::vector<std::string> items(1);
    for (char c : text) {
      if (c == ',') {
        items.emplace_back();
      } else {
        items.back() += c;
      }
    }
    for (std::string& item : items) item = trimSpacesAndControls(item);
    const std::string givenName = items[0];
    const std::string givenType = items[1].empty() ? std::string() : items[1].substr(0, 1);
    const int givenLength = readDefinitionInteger(items[2]);
    const int givenDecimals = readDefinitionInteger(items[3]);

    if (givenName.empty() || givenType.empty())
      throw ETableError(TableErrorCode::kInvalidFieldType, kCreateError);
    char type = asciiUpper(givenType[0]);
    if (type == 'X') continue;
    int length = givenLength;
    int decimals = givenDecimals;
    if (std::string("CDFLMNBGP").find(type) == std::string::npos) type = 'C';
    if (type == 'N' || type == 'F') {
      // F follows N's limits too: its length byte could not hold more and
      // other programs read it as N.
      length = std::min(length, dbf::kMaxNumericLength);
      decimals = std::min(decimals, dbf::kMaxNumericDecimals);
      if (decimals > 0 && length - decimals < 2) decimals = std::max(0, length - 2);
    } else if (type == 'C' && length > dbf::kMaxCharLength) {
      // A length byte of 255 and more would not describe the field; 255 is
      // the documented case, longer ones are cut the same way.
      length = dbf::kMaxCharLength;
      decimals = 0;
    }
    std::string name = givenName.substr(0, dbf::kMaxNameLength);
    const bool typeCorrected = type != asciiUpper(givenType[0]);
    if (typeCorrected || length != givenLength || decimals != givenDecimals) {
      char buffer[512];
      std::snprintf(buffer, sizeof buffer,
                    "Invalid field definition for %s: %s. Will use corrected definition: %s",
                    componentName.c_str(),
                    definitionText(givenName, givenType, givenLength, givenDecimals).c_str(),
                    definitionText(name, std::string(1, type), length, decimals).c_str());
      showTableWarning(buffer);
    }
    if (type == 'D') length = dbf::kDateLength;
    if (type == 'L') length = dbf::kLogicalLength;
    if (isMemoLike(type)) length = dbf::kMemoLength;
    if (type != 'N' && type != 'F') decimals = 0;
    if (length <= 0) throw ETableError(TableErrorCode::kInvalidFieldType, kCreateError);

    FieldDescriptor field;
    field.name = asciiUpper(name);
    // Names are matched without regard to case and cut to 10 characters, so
    // a second field of the same name could never be reached and its value
    // would land in the first one's bytes.
    for (const FieldDescriptor& earlier : fields) {
      if (earlier.name == field.name) {
        showTableWarning("Duplicate field name " + field.name + " in " + componentName + ": " +
                         text + ". The table is not created");
        return std::nullopt;
      }
    }
    field.type = type;
    field.length = length;
    field.decimals = decimals;
    field.offset = offset;
    offset += static_cast<std::size_t>(length);
    fields.push_back(field);
  }
  if (fields.empty() || fields.size() > static_cast<std::size_t>(dbf::kMaxFields)) {
    throw ETableError(TableErrorCode::kInvalidFieldType, kCreateError);
  }
  return fields;
}

}  // namespace kestrel
