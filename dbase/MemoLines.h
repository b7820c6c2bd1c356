#pragma once

#include <string>
#include <vector>

namespace kestrel {

// The lines of a memo text (as stored, before code-page conversion): cut at
// each carriage return or soft return (0x8D), a line feed right after it
// dropped; a line ends at its first 0x00; a line end at the very end adds no
// empty line; lines longer than 253 characters are wrapped after their last
// blank within the first 253 (or after 253 when there is none); at most 1024
// lines are kept.
std::vector<std::string> memoTextToLines(const std::string& text);

inline constexpr std::size_t kMaxMemoLineLength = 253;
inline constexpr std::size_t kMaxMemoLines = 1024;

}  // namespace kestrel
