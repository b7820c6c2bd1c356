#include <gtest/gtest.h>

#include <random>

#include "MdxTestSupport.h"
#include "dbase/IndexError.h"
#include "dbase/MdxReader.h"

namespace kestrel {
namespace {

// Opens and walks the whole tag; returns the error code, or -1 when the file
// read without complaint.
int walkResult(const std::vector<unsigned char>& bytes, std::size_t* visited = nullptr) {
  try {
    MdxReader reader(bytes, "test.MDX");
    std::size_t n = 0;
    for (reader.First(); !reader.Eof(); reader.Next()) ++n;
    if (visited) *visited = n;
    return -1;
  } catch (const IndexError& e) {
    return e.code();
  }
}

void putLe32(std::vector<unsigned char>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i)
    b[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(v >> (8 * i));
}
std::uint32_t getLe32(const std::vector<unsigned char>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
         (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

class MdxReaderDamage : public ::testing::Test {
 protected:
  void SetUp() override {
    // 5000 C10 keys: 80 leaves at pages 4.., their two parents and the root.
    const IndexKey key(KeyType::Character, 10);
    std::vector<std::string> texts;
    for (int i = 0; i < 5000; ++i) texts.push_back("K" + std::to_string(i * 7 % 1000));
    const std::string path = m_folder.file("big.MDX");
    test::buildIndex(path, key, test::keysOf(key, texts));
    m_good = test::readFile(path);
    m_root = getLe32(m_good, 544 + 0) - 2;  // the tag header follows the root
    ASSERT_EQ(getLe32(m_good, getLe32(m_good, 544) * 512), m_root);
  }
  std::size_t node(std::uint32_t page) const { return page * 512; }

  test::TempFolder m_folder;
  std::vector<unsigned char> m_good;
  std::uint32_t m_root = 0;
};

TEST_F(MdxReaderDamage, IntactFileWalksEveryKey) {
  std::size_t n = 0;
  EXPECT_EQ(walkResult(m_good, &n), -1);
  EXPECT_EQ(n, 5000u);
}

TEST_F(MdxReaderDamage, MissingShortOrForeignFilesCannotBeOpened) {
  const std::string missing = m_folder.file("none.MDX");
  try {
    MdxReader reader(missing);
    ADD_FAILURE();
  } catch (const IndexError& e) {
    EXPECT_EQ(e.code(), 222);
    EXPECT_EQ(e.detail(), "Unable to open index: " + missing);
  }
  for (std::size_t size : {0u, 100u, 2047u, 2048u, 3000u, 4096u}) {
    auto bytes = m_good;
    bytes.resize(size);
    EXPECT_EQ(walkResult(bytes), 222) << size;
  }
  // Everything but the tag header: the tag's page lies past the end.
  auto cut = m_good;
  cut.resize(cut.size() - 1);
  EXPECT_EQ(walkResult(cut), 222);
  // Geometry other than 2 pages of 1024 bytes, 32-byte tag entries.
  for (std::size_t at : {20u, 22u, 26u}) {
    auto bytes = m_good;
    bytes[at] ^= 0x01;
    EXPECT_EQ(walkResult(bytes), 222) << at;
  }
}

TEST_F(MdxReaderDamage, BadTagTableOrTagHeaderIsRefused) {
  const std::size_t tag = getLe32(m_good, 544) * 512;
  struct Patch {
    std::size_t at;
    std::uint32_t value;
    int width;
  };
  const Patch patches[] = {
      {28, 0, 1},            // no tag
      {28, 48, 1},           // more tags than the table holds
      {544, 2, 4},           // tag header inside the file header
      {544, 0x7FFFFFFF, 4},  // tag header far past the end
      {tag + 0, 1, 4},       // root inside the file header
      {tag + 0, 999999, 4},  // root past the end
      {tag + 9, 'L', 1},     // key type
      {tag + 12, 0, 2},      // key length 0
      {tag + 12, 101, 2},    // key length 101
      {tag + 18, 12, 2},     // entry length that does not fit the key
      {tag + 18, 0, 2},      // entry length 0
      {tag + 8, 0x18, 1},    // descending
  };
  for (const Patch& p : patches) {
    auto bytes = m_good;
    for (int i = 0; i < p.width; ++i)
      bytes[p.at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(p.value >> (8 * i));
    EXPECT_EQ(walkResult(bytes), 222) << "offset " << p.at;
  }
  // A named tag that is not there.
  try {
    MdxReader reader(m_good, "x.MDX", "OTHER");
    ADD_FAILURE();
  } catch (const IndexError& e) {
    EXPECT_EQ(e.code(), 222);
  }
}

TEST_F(MdxReaderDamage, BadNodesStopTheWalkWithTheError) {
  const std::uint32_t firstChild = getLe32(m_good, node(m_root) + 8);
  const std::uint32_t firstLeaf = getLe32(m_good, node(firstChild) + 8);
  auto expectCorrupt = [&](auto change, const char* what) {
    auto bytes = m_good;
    change(bytes);
    EXPECT_EQ(walkResult(bytes), 222) << what;
  };
  expectCorrupt([&](auto& b) { putLe32(b, node(firstLeaf), 64); }, "count above 63");
  expectCorrupt([&](auto& b) { putLe32(b, node(firstLeaf), 0xFFFFFFFF); }, "count -1");
  expectCorrupt([&](auto& b) { putLe32(b, node(m_root) + 8, 999998); }, "child past the end");
  expectCorrupt([&](auto& b) { putLe32(b, node(m_root) + 8, 2); }, "child in the header");
  expectCorrupt([&](auto& b) { putLe32(b, node(firstChild) + 8, m_root); }, "cycle to the root");
  expectCorrupt([&](auto& b) { putLe32(b, node(firstChild) + 8 + 16, firstLeaf); },
                "child shared by two entries");
  expectCorrupt([&](auto& b) { putLe32(b, node(firstLeaf) + 8, 0); }, "record number 0");
  expectCorrupt([&](auto& b) { b[node(firstLeaf) + 12] = 'Z'; }, "keys out of order");
  // A leaf whose trailing word is not 0 reads as a branch with children
  // that are record numbers: pages inside the header or reached twice.
  expectCorrupt(
      [&](auto& b) { putLe32(b, node(firstLeaf) + 8 + getLe32(b, node(firstLeaf)) * 16, 7); },
      "leaf read as branch");
}

TEST_F(MdxReaderDamage, RandomDamageNeverCrashesOrLoops) {
  // Byte changes anywhere in the header, tag header and nodes of a small
  // index: each walk ends, with the keys or with the error.
  const IndexKey key(KeyType::Date, 8);
  std::vector<std::string> texts;
  for (int i = 0; i < 300; ++i)
    texts.push_back(i % 9 ? "2001" + std::to_string(1000 + i % 300).substr(1, 2) + "15" : "");
  const std::string path = m_folder.file("small.MDX");
  test::buildIndex(path, key, test::keysOf(key, texts));
  const auto good = test::readFile(path);
  std::mt19937 random(11);
  int errors = 0;
  for (int round = 0; round < 3000; ++round) {
    auto bytes = good;
    const int changes = 1 + static_cast<int>(random() % 4);
    for (int c = 0; c < changes; ++c) {
      // Mostly the meaningful bytes: header start, tag entry, node heads.
      const std::size_t region = random() % 4;
      std::size_t at = region == 0   ? random() % 48
                       : region == 1 ? 544 + random() % 32
                                     : 2048 + random() % (bytes.size() - 2048);
      bytes[at] = static_cast<unsigned char>(random());
    }
    std::size_t n = 0;
    const int result = walkResult(bytes, &n);
    ASSERT_TRUE(result == -1 || result == 222) << round;
    if (result == 222)
      ++errors;
    else
      EXPECT_LE(n, 300u * 2);  // no node visited twice, so bounded
  }
  EXPECT_GT(errors, 100);
}

}  // namespace
}  // namespace kestrel
