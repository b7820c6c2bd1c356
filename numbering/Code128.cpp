#include "numbering/Code128.h"

#include <stdexcept>

namespace kestrel {

namespace {

// Bar/space widths of the 107 symbol characters as printed in the symbol
// character table of ISO/IEC 15417, value 0 to 105; then the stop.
constexpr const char* kPatterns[107] = {
    "212222", "222122", "222221",  "121223", "121322", "131222", "122213", "122312",  //   0
    "132212", "221213", "221312",  "231212", "112232", "122132", "122231", "113222",  //   8
    "123122", "123221", "223211",  "221132", "221231", "213212", "223112", "312131",  //  16
    "311222", "321122", "321221",  "312212", "322112", "322211", "212123", "212321",  //  24
    "232121", "111323", "131123",  "131321", "112313", "132113", "132311", "211313",  //  32
    "231113", "231311", "112133",  "112331", "132131", "113123", "113321", "133121",  //  40
    "313121", "211331", "231131",  "213113", "213311", "213131", "311123", "311321",  //  48
    "331121", "312113", "312311",  "332111", "314111", "221411", "431111", "111224",  //  56
    "111422", "121124", "121421",  "141122", "141221", "112214", "112412", "122114",  //  64
    "122411", "142112", "142211",  "241211", "221114", "413111", "241112", "134111",  //  72
    "111242", "121142", "121241",  "114212", "124112", "124211", "411212", "421112",  //  80
    "421211", "212141", "214121",  "412121", "111143", "111341", "131141", "114113",  //  88
    "114311", "411113", "411311",  "113141", "114131", "311141", "411131", "211412",  //  96
    "211214", "211232", "2331112",                                                    // 104
};

constexpr int kNul = 64;  // NUL in code set A

enum class CodeSet { A, B, C };

bool isDigit(unsigned char c) {
  return c >= '0' && c <= '9';
}
bool needsSetA(unsigned char c) {
  return c < 32 || c == 128;
}

std::size_t digitRun(std::string_view text, std::size_t from) {
  std::size_t end = from;
  while (end < text.size() && isDigit(static_cast<unsigned char>(text[end]))) ++end;
  return end - from;
}

// Builds the data characters, switching code sets as the text demands.
class Code128Encoder {
 public:
  explicit Code128Encoder(std::string_view text) : m_text(text) {}

  std::vector<int> encode(bool gs1) {
    start();
    if (gs1) m_values.push_back(kCode128Fnc1);
    while (m_pos < m_text.size()) step();
    m_values.push_back(code128CheckCharacter(m_values));
    m_values.push_back(kCode128Stop);
    return std::move(m_values);
  }

 private:
  void start() {
    const std::size_t digits = digitRun(m_text, 0);
    const bool allPairs = digits == m_text.size() && digits % 2 == 0;
    if (allPairs || digits >= 4) {
      m_set = CodeSet::C;
      m_values.push_back(kCode128StartC);
    } else if (needsSetA(static_cast<unsigned char>(m_text[0]))) {
      m_set = CodeSet::A;
      m_values.push_back(kCode128StartA);
    } else {
      m_set = CodeSet::B;
      m_values.push_back(kCode128StartB);
    }
  }

  void step() {
    const auto c = static_cast<unsigned char>(m_text[m_pos]);
    const std::size_t digits = digitRun(m_text, m_pos);
    if (m_set == CodeSet::C) {
      if (digits >= 2) {
        m_values.push_back((c - '0') * 10 + (m_text[m_pos + 1] - '0'));
        m_pos += 2;
        return;
      }
      switchTo(needsSetA(c) ? CodeSet::A : CodeSet::B);
    } else if (digits >= 4 && digits % 2 == 0) {
      // An odd run leaves its first digit to the current set and switches
      // on the next step, when the rest is even.
      switchTo(CodeSet::C);
      return;
    }
    if (c == 128) {
      switchTo(CodeSet::A);
      m_values.push_back(kCode128CodeA);  // FNC4 in code set A
      m_values.push_back(kNul);
    } else if (c < 32) {
      switchTo(CodeSet::A);
      m_values.push_back(c + 64);
    } else if (c >= 96) {
      switchTo(CodeSet::B);
      m_values.push_back(c - 32);
    } else {
      m_values.push_back(c - 32);  // same value in code sets A and B
    }
    ++m_pos;
  }

  void switchTo(CodeSet set) {
    if (set == m_set) return;
    switch (set) {
      case CodeSet::A:
        m_values.push_back(kCode128CodeA);
        break;
      case CodeSet::B:
        m_values.push_back(kCode128CodeB);
        break;
      case CodeSet::C:
        m_values.push_back(kCode128CodeC);
        break;
    }
    m_set = set;
  }

  std::string_view m_text;
  std::size_t m_pos = 0;
  CodeSet m_set = CodeSet::B;
  std::vector<int> m_values;
};

}  // namespace

std::vector<int> code128Symbols(std::string_view text, bool gs1) {
  if (text.empty()) return {};
  return Code128Encoder(text).encode(gs1);
}

int code128CheckCharacter(const std::vector<int>& values) {
  if (values.empty()) return 0;
  long long sum = values[0];
  for (std::size_t i = 1; i < values.size(); ++i) {
    sum = (sum + static_cast<long long>(values[i]) * static_cast<long long>(i % 103)) % 103;
  }
  return static_cast<int>(sum % 103);
}

std::vector<int> code128Widths(int value) {
  if (value < 0 || value > kCode128Stop) throw std::out_of_range("Code 128 symbol value");
  std::vector<int> widths;
  for (const char* p = kPatterns[value]; *p != '\0'; ++p) widths.push_back(*p - '0');
  return widths;
}

std::vector<std::uint8_t> code128Modules(const std::vector<int>& symbols) {
  std::vector<std::uint8_t> modules;
  for (int value : symbols) {
    std::uint8_t bar = 1;
    for (int width : code128Widths(value)) {
      modules.insert(modules.end(), static_cast<std::size_t>(width), bar);
      bar ^= 1;
    }
  }
  return modules;
}

}  // namespace kestrel
