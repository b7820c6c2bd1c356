#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "MdxTestSupport.h"
#include "dbase/ExternalSort.h"

namespace kestrel {
namespace {

using test::Entry;

std::vector<Entry> drain(ExternalSort& sort, std::size_t keyLength) {
  std::vector<Entry> out;
  const unsigned char* key = nullptr;
  std::uint32_t recNo = 0;
  while (sort.next(key, recNo))
    out.emplace_back(std::string(reinterpret_cast<const char*>(key), keyLength), recNo);
  return out;
}

bool folderEmpty(const std::filesystem::path& folder) {
  return std::filesystem::directory_iterator(folder) == std::filesystem::directory_iterator();
}

TEST(ExternalSort, ManyKeysSortInMemoryOrThroughTemporaryRuns) {
  // 250,000 six-byte keys with many duplicates. 64 KiB of memory: about
  // 2,000 pairs per run, over a hundred runs merged in one pass; 4 MiB: a
  // few runs each sorted in several cache-sized pieces; 64 MiB: everything
  // in memory, in pieces.
  constexpr std::size_t kCount = 250000;
  const IndexKey key(KeyType::Character, 6);
  std::mt19937 random(5);
  std::vector<Entry> input;
  input.reserve(kCount);
  for (std::uint32_t r = 1; r <= kCount; ++r) {
    std::string k(6, ' ');
    const auto v = random() % 50000;
    for (std::size_t i = 0; i < 5; ++i) k[i] = static_cast<char>('0' + (v >> (3 * i)) % 8);
    k[5] = static_cast<char>(random() % 2 ? 0xE1 : 'a');
    input.emplace_back(k, r);
  }
  std::shuffle(input.begin(), input.end(), random);
  std::vector<Entry> expected = input;
  std::sort(expected.begin(), expected.end());  // unsigned bytes, then record number

  struct Budget {
    std::size_t bytes, minRuns, maxRuns;
  };
  for (const Budget b :
       {Budget{64 << 10, 100, 1000}, Budget{4 << 20, 2, 5}, Budget{64 << 20, 0, 0}}) {
    test::TempFolder folder;
    ExternalSort sort(key, b.bytes, folder.path().string());
    for (const auto& [k, r] : input) sort.add(reinterpret_cast<const unsigned char*>(k.data()), r);
    // The run file is unlinked as soon as it exists.
    EXPECT_TRUE(folderEmpty(folder.path()));
    sort.finish();
    EXPECT_GE(sort.runCount(), b.minRuns) << b.bytes;
    EXPECT_LE(sort.runCount(), b.maxRuns) << b.bytes;
    EXPECT_EQ(sort.size(), kCount);
    EXPECT_EQ(drain(sort, 6), expected) << b.bytes;
    EXPECT_TRUE(folderEmpty(folder.path()));
  }
}

TEST(ExternalSort, SmallInputStaysInMemoryAndNumericKeysMergeByValue) {
  const IndexKey key(KeyType::Numeric, 12);
  std::vector<std::string> texts;
  for (int i = 0; i < 5000; ++i) texts.push_back(std::to_string((i * 7919 % 4001) - 2000) + ".5");
  const auto entries = test::keysOf(key, texts);

  for (std::size_t budget : {std::size_t{1} << 20, std::size_t{512}}) {
    test::TempFolder folder;
    ExternalSort sort(key, budget, folder.path().string());
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
      sort.add(reinterpret_cast<const unsigned char*>(it->first.data()), it->second);
    sort.finish();
    EXPECT_EQ(sort.runCount() == 0, budget > 100000) << budget;
    const auto out = drain(sort, 12);
    ASSERT_EQ(out.size(), entries.size());
    for (std::size_t i = 1; i < out.size(); ++i) {
      const double a = std::atof(texts[out[i - 1].second - 1].c_str());
      const double b = std::atof(texts[out[i].second - 1].c_str());
      ASSERT_TRUE(a < b || (a == b && out[i - 1].second < out[i].second)) << i;
    }
  }

  ExternalSort empty(key, 1024);
  empty.finish();
  EXPECT_EQ(drain(empty, 12).size(), 0u);
}

}  // namespace
}  // namespace kestrel
