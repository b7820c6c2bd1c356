// The table component's memo fields as lists of lines and as the text of a
// data-aware memo control.
#include "dbase/CodePage.h"
#include "dbase/EInOutError.h"
#include "dbase/ETableError.h"
#include "dbase/FieldCodec.h"
#include "dbase/MemoLines.h"
#include "dbase/TTzDbf.h"

namespace kestrel {
namespace {

constexpr std::size_t kPieceLength = 255;
constexpr std::size_t kStoredLineLength = 254;
constexpr int kInOutErrorWrite = 101;

std::string typeDescription(const FieldDescriptor& field) {
  switch (field.type) {
    case 'C':
      return "Character";
    case 'D':
      return "Date";
    case 'L':
      return "Logical";
    case 'M':
      return "Memo";
    default:
      return "Numeric, width: " + std::to_string(field.length) +
             " decimals: " + std::to_string(field.decimals);
  }
}

// Collects list pieces into memo lines: a piece holding a carriage return
// ends the line after its text, line-break characters themselves are
// dropped, and no line grows beyond 254 characters.
class LineCollector {
 public:
  void addPiece(const std::string& piece) {
    std::string text;
    bool endsLine = false;
    for (char c : piece) {
      const auto b = static_cast<unsigned char>(c);
      if (b == 0x0D) endsLine = true;
      if (b == 0x0D || b == 0x8D || b == 0x0A) continue;
      text += c;
    }
    if (m_line.size() + text.size() > kStoredLineLength) {
      if (!m_line.empty()) {
        m_lines.push_back(std::move(m_line));
        m_line.clear();
      }
      if (text.size() > kStoredLineLength) {
        m_lines.push_back(text.substr(0, kStoredLineLength));
        text.erase(0, kStoredLineLength);
      }
    }
    m_line += text;
    if (endsLine) {
      m_lines.push_back(std::move(m_line));
      m_line.clear();
    }
  }
  std::vector<std::string> finish() {
    if (!m_line.empty()) m_lines.push_back(std::move(m_line));
    return std::move(m_lines);
  }

 private:
  std::vector<std::string> m_lines;
  std::string m_line;
};

}  // namespace

const FieldDescriptor& TTzDbf::memoFieldNamed(const std::string& fieldName,
                                              const char* operation) const {
  const FieldDescriptor& field = fieldNamed(fieldName, operation);
  if (field.type != 'M') {
    throw ETableError(TableErrorCode::kInvalidParameter,
                      "\"" + std::string(operation) + "()\" expects field \"" + fieldName +
                          "\" to be of type:\r\n\"memo\".\"" + fieldName + "\" actually is: \"" +
                          typeDescription(field) + "\"");
  }
  return field;
}

void TTzDbf::GetMField(const std::string& fieldName, std::vector<std::string>& lines) {
  checkActive("GetMField");
  const FieldDescriptor& field = memoFieldNamed(fieldName, "GetMField");
  lines.clear();
  for (std::string& line : memoTextToLines(memoText(field))) {
    if (m_language == TTableLanguage::tlOem) oemToAnsiInPlace(line);
    lines.push_back(std::move(line));
  }
}

void TTzDbf::SetMField(const std::string& fieldName, const std::vector<std::string>& lines) {
  checkActive("SetMField");
  const FieldDescriptor& field = memoFieldNamed(fieldName, "SetMField");
  beginEdit();
  LineCollector collector;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) collector.addPiece("\r\n");
    std::string item = lines[i];
    if (m_language == TTableLanguage::tlOem) ansiToOemInPlace(item);
    for (std::size_t at = 0; at < item.size(); at += kPieceLength) {
      collector.addPiece(item.substr(at, kPieceLength));
    }
  }
  const std::vector<std::string> memoLines = collector.finish();
  if (memoLines.size() > kMaxMemoLines) throw EInOutError(kInOutErrorWrite);
  // Every line is stored with its line end, an unended last one too.
  std::string text;
  for (const std::string& line : memoLines) text += line + "\r\n";
  putMemoBlock(m_record, field, addStoredMemo(text, "SetMField"));
}

std::string TTzDbf::readMemoStream(const std::string& fieldName) {
  checkActive("MemoStream");
  std::string text = memoText(memoFieldNamed(fieldName, "MemoStream"));
  if (m_language == TTableLanguage::tlOem && looksLikeText(text)) oemToAnsiInPlace(text);
  return text;
}

void TTzDbf::writeMemoStream(const std::string& fieldName, const std::string& text) {
  checkActive("MemoStream");
  const FieldDescriptor& field = memoFieldNamed(fieldName, "MemoStream");
  beginEdit();
  // A stream closed without a byte written leaves no memo.
  putMemoBlock(m_record, field, text.empty() ? 0 : addMemo(text, "MemoStream"));
}

}  // namespace kestrel
