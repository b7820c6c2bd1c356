#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "MdxTestSupport.h"
#include "dbase/IndexError.h"
#include "dbase/MdxUpdater.h"

namespace kestrel {
namespace {

using test::Entry;

const unsigned char* bytesOf(const std::string& s) {
  return reinterpret_cast<const unsigned char*>(s.data());
}

// Levels of the tag's tree, counted down its first children.
std::size_t depthOf(const std::string& path) {
  const auto b = test::readFile(path);
  auto le32 = [&](std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
           (static_cast<std::uint32_t>(b[at + 3]) << 24);
  };
  const std::size_t tag = le32(544) * 512;
  const std::size_t entry = b[tag + 18];
  std::size_t page = le32(tag), depth = 1;
  while (le32(page * 512 + 8 + le32(page * 512) * entry) != 0 && depth < 10) {
    page = le32(page * 512 + 8);
    ++depth;
  }
  return depth;
}

// The entries as our reader and Perl's index_dump see them, which must both
// be the expected set in (key, record number) order.
void expectIndexHolds(const std::string& path, const IndexKey& key, std::vector<Entry> expected) {
  std::sort(expected.begin(), expected.end(), [&](const Entry& a, const Entry& b) {
    return key.compareEntries(bytesOf(a.first), a.second, bytesOf(b.first), b.second) < 0;
  });
  EXPECT_EQ(test::walk(path), expected);
  EXPECT_EQ(test::perlWalk(path, key.length()), expected);
}

TEST(MdxUpdater, AppendsGrowTheTreeThroughSplitsToThreeLevels) {
  // Character keys of 30 bytes: 28 per node, so 3,000 keys need three levels.
  test::TempFolder folder;
  const std::string path = folder.file("name.MDX");
  const IndexKey key(KeyType::Character, 30);
  std::vector<std::string> texts;
  for (int i = 0; i < 50; ++i) texts.push_back("NAME " + std::to_string(i % 7));
  auto entries = test::keysOf(key, texts);
  test::buildIndex(path, key, entries);

  // A reader opened before the updates sees them on its next walk.
  MdxReader early(path);
  MdxUpdater updater(path, "DUMMY_TAG");
  std::mt19937 random(3);
  std::string k(30, ' ');
  for (std::uint32_t recNo = 51; recNo <= 3000; ++recNo) {
    // Few distinct keys, so that runs of equal keys span many nodes.
    key.encode("NAME " + std::to_string(random() % 40), reinterpret_cast<unsigned char*>(k.data()));
    updater.insert(bytesOf(k), recNo);
    entries.emplace_back(k, recNo);
  }
  // Inserting an entry that is there already changes nothing.
  updater.insert(bytesOf(entries[70].first), entries[70].second);
  expectIndexHolds(path, key, entries);
  EXPECT_EQ(depthOf(path), 3u);
  // New nodes lie past the tag header; the header counts every page in use.
  const auto bytes = test::readFile(path);
  EXPECT_EQ(bytes[32] | (bytes[33] << 8) | (bytes[34] << 16), bytes.size() / 512);
  std::size_t seen = 0;
  for (early.First(); !early.Eof(); early.Next()) ++seen;
  EXPECT_EQ(seen, entries.size());
}

TEST(MdxUpdater, InsertsAnywhereAndRewritesKeepTheOrder) {
  // From an empty tag, numeric keys with record numbers in random order.
  test::TempFolder folder;
  const std::string path = folder.file("amount.MDX");
  const IndexKey key(KeyType::Numeric, 12);
  test::buildIndex(path, key, {});

  std::vector<std::uint32_t> recNos(2500);
  for (std::uint32_t i = 0; i < recNos.size(); ++i) recNos[i] = i + 1;
  std::mt19937 random(9);
  std::shuffle(recNos.begin(), recNos.end(), random);
  std::vector<Entry> entries;
  {
    MdxUpdater updater(path);
    std::string k(12, '\0');
    for (std::uint32_t r : recNos) {
      key.encode(std::to_string(static_cast<int>(r % 30) - 15) + ".25",
                 reinterpret_cast<unsigned char*>(k.data()));
      updater.insert(bytesOf(k), r);
      entries.emplace_back(k, r);
    }
  }
  expectIndexHolds(path, key, entries);
  EXPECT_EQ(depthOf(path), 2u);

  // Rewrite every third record with a new amount.
  MdxUpdater updater(path);
  std::string k(12, '\0');
  for (auto& [oldKey, r] : entries) {
    if (r % 3 != 0) continue;
    key.encode(std::to_string(r % 7) + "00", reinterpret_cast<unsigned char*>(k.data()));
    updater.replace(bytesOf(oldKey), bytesOf(k), r);
    oldKey = k;
  }
  expectIndexHolds(path, key, entries);

  // Removing what is not there is the corrupted-index error.
  try {
    updater.remove(bytesOf(entries.front().first), 999999);
    ADD_FAILURE();
  } catch (const IndexError& e) {
    EXPECT_EQ(e.code(), 222);
  }
}

}  // namespace
}  // namespace kestrel
