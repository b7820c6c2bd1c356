#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

#include "MdxTestSupport.h"
#include "dbase/IndexError.h"
#include "dbase/MdxWriter.h"

namespace kestrel {
namespace {

using test::Entry;

std::uint32_t le32(const std::vector<unsigned char>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
         (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
std::uint16_t le16(const std::vector<unsigned char>& b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

// Checks that our reader and Perl's index_dump both walk the file in the
// expected order, keys and record numbers alike.
void expectWalks(const std::string& path, std::size_t keyLength,
                 const std::vector<Entry>& expected) {
  EXPECT_EQ(test::walk(path), expected) << path;
  EXPECT_EQ(test::perlWalk(path, keyLength), expected) << "index_dump on " << path;
}

// Field texts with heavy duplication, so that runs of equal keys cross node
// boundaries.
std::vector<std::string> names(std::size_t n) {
  static const char* pool[] = {"SMITH",
                               "Smith",
                               "JONES",
                               "  Blank start",
                               "O'BRIEN",
                               "Zeta",
                               "ALPHA",
                               "alpha",
                               "\x8E"
                               "BERG",
                               "10 DOWNING"};
  std::vector<std::string> out;
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t pick = (i * 7 + i / 3) % 10;
    out.push_back(std::string(pool[pick]) + (i % 4 == 0 ? "" : std::to_string(i % 13)));
  }
  return out;
}

std::vector<std::string> dates(std::size_t n) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < n; ++i) {
    if (i % 7 == 3) {
      out.push_back("        ");
      continue;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%04zu%02zu%02zu", 1990 + (i * 37) % 40, 1 + (i * 5) % 12,
                  1 + (i * 11) % 28);
    out.push_back(text);
  }
  return out;
}

std::vector<std::string> numbers(std::size_t n) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < n; ++i) {
    char text[32];
    const double v = (static_cast<double>((i * 7919) % 2001) - 1000.0) / (i % 3 == 0 ? 1 : 8);
    std::snprintf(text, sizeof text, "%12.3f", v);
    out.push_back(i % 11 == 5 ? "            " : text);
  }
  return out;
}

// The expected order, worked out without the index code: C as unsigned
// bytes (std::string compares that way), D by the date text with blanks last,
// N by the numeric value (blank is 0); ties by record number.
std::vector<Entry> expectedOrder(const IndexKey& key, const std::vector<std::string>& texts) {
  std::vector<std::size_t> order(texts.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  auto rank = [&](std::size_t i) {
    std::string t = texts[i];
    if (key.type() == KeyType::Date && t.find_first_not_of(' ') == std::string::npos) t = "~";
    return t;
  };
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    if (key.type() == KeyType::Numeric)
      return std::atof(texts[a].c_str()) < std::atof(texts[b].c_str());
    if (key.type() == KeyType::Character) {
      std::string x = texts[a], y = texts[b];
      x.resize(key.length(), ' ');
      y.resize(key.length(), ' ');
      return x < y;
    }
    return rank(a) < rank(b);
  });
  const auto keyed = test::keysOf(key, texts);
  std::vector<Entry> out;
  for (std::size_t i : order) out.push_back(keyed[i]);
  return out;
}

struct Case {
  char fieldType;
  std::size_t fieldLength;
  std::size_t count;
  std::size_t levels;
};

class OrderedWalk : public ::testing::TestWithParam<Case> {};

TEST_P(OrderedWalk, OurReaderAndPerlAgreeWithTheExpectedOrder) {
  const Case c = GetParam();
  test::TempFolder folder;
  const IndexKey key = IndexKey::forField(c.fieldType, c.fieldLength);
  const auto texts = c.fieldType == 'C'   ? names(c.count)
                     : c.fieldType == 'D' ? dates(c.count)
                                          : numbers(c.count);
  const std::string path = folder.file("sort.MDX");
  // A 4 KiB sort budget: every case beyond a few hundred keys goes through
  // the temporary-file merge.
  test::buildIndex(path, key, test::keysOf(key, texts), 4096);
  expectWalks(path, key.length(), expectedOrder(key, texts));

  // The tree has the planned depth, and the file holds exactly its nodes
  // and the tag header after the file header.
  const auto levels = MdxWriter::nodesPerLevel(c.count, mdx::entryLength(key.length()));
  EXPECT_EQ(levels.size(), c.levels);
  std::uint64_t nodes = 0;
  for (auto n : levels) nodes += n;
  EXPECT_EQ(std::filesystem::file_size(path), mdx::kHeaderSize + mdx::kNodeSize * (nodes + 1));
}

INSTANTIATE_TEST_SUITE_P(KeyTypesAndDepths, OrderedWalk,
                         ::testing::Values(Case{'C', 10, 0, 1}, Case{'C', 10, 40, 1},
                                           Case{'C', 30, 600, 2}, Case{'C', 10, 5000, 3},
                                           Case{'D', 8, 84, 1}, Case{'D', 8, 2000, 2},
                                           Case{'D', 8, 7500, 3}, Case{'N', 12, 63, 1},
                                           Case{'N', 12, 1500, 2}, Case{'N', 12, 4500, 3},
                                           Case{'C', 100, 200, 3}));

TEST(MdxWriter, HeaderTagEntryAndTagHeaderBytes) {
  test::TempFolder folder;
  const std::string path = folder.file("name.MDX");
  const IndexKey key(KeyType::Character, 30);
  test::buildIndex(path, key, test::keysOf(key, names(100)));
  const auto b = test::readFile(path);
  // 100 keys of 28 per leaf: 4 leaves at pages 4..10, the root at 12, the
  // tag header at 14.
  ASSERT_EQ(b.size(), 2048u + 6 * 1024);
  std::vector<unsigned char> expected(2048, 0);
  auto put = [&](std::size_t at, std::initializer_list<int> bytes) {
    for (int v : bytes) expected[at++] = static_cast<unsigned char>(v);
  };
  put(0, {2, 126, 12, 9, 'T', 'A', 'B', 'L', 'E'});
  put(20, {2, 0, 0x00, 0x04, 1, 48, 32, 0, 1});
  put(32, {14, 0, 0, 0});
  put(44, {126, 12, 9});
  put(544, {14, 0, 0, 0, 'D', 'U', 'M', 'M', 'Y', '_', 'T', 'A', 'G'});
  put(544 + 19, {2, 'C'});
  EXPECT_EQ(std::vector<unsigned char>(b.begin(), b.begin() + 2048), expected);

  std::vector<unsigned char> tag(1024, 0);
  std::size_t at = 0;
  for (int v : std::initializer_list<int>{12, 0, 0,  0, 0, 0, 0,  0, 0x10, 'C', 0, 0,
                                          30, 0, 28, 0, 0, 0, 36, 0, 0,    0,   0, 0})
    tag[at++] = static_cast<unsigned char>(v);
  for (char ch : std::string("field")) tag[at++] = static_cast<unsigned char>(ch);
  EXPECT_EQ(std::vector<unsigned char>(b.begin() + 14 * 512, b.end()), tag);

  // Leaves hold 25 entries each (the keys spread evenly), the word after
  // the last entry is 0; the root holds 3 keys and a fourth child page.
  EXPECT_EQ(le32(b, 4 * 512), 25u);
  EXPECT_EQ(le32(b, 4 * 512 + 8 + 25 * 36), 0u);
  EXPECT_EQ(le32(b, 12 * 512), 3u);
  for (std::uint32_t i = 0; i < 4; ++i) EXPECT_EQ(le32(b, 12 * 512 + 8 + i * 36), 4 + 2 * i);
}

TEST(MdxWriter, NodeCapacitiesOfTheLogSortFields) {
  // mailernum C27, sentname0 C30, zip C10, rdate D: entry lengths 32, 36, 16
  // and 12, and 31, 28, 63, 84 keys per node.
  struct Field {
    char type;
    std::size_t length, entry, capacity;
  };
  for (const Field f : {Field{'C', 27, 32, 31}, Field{'C', 30, 36, 28}, Field{'C', 10, 16, 63},
                        Field{'D', 8, 12, 84}}) {
    const IndexKey key = IndexKey::forField(f.type, f.length);
    const auto header = mdx::makeTagHeader(key.type(), key.length(), "x", 6);
    EXPECT_EQ(header.entryLength, f.entry);
    EXPECT_EQ(header.maxKeys, f.capacity);

    // A full node is still one leaf; one key more needs two leaves and a root.
    test::TempFolder folder;
    const auto texts = f.type == 'D' ? dates(f.capacity + 1) : names(f.capacity + 1);
    auto entries = test::keysOf(key, texts);
    const std::string full = folder.file("full.MDX"), split = folder.file("split.MDX");
    test::buildIndex(split, key, entries);
    entries.pop_back();
    test::buildIndex(full, key, entries);
    const auto b = test::readFile(full);
    EXPECT_EQ(b.size(), 2048u + 2 * 1024);
    EXPECT_EQ(le32(b, 4 * 512), f.capacity);
    EXPECT_EQ(le16(b, 6 * 512 + 14), f.capacity);
    EXPECT_EQ(std::filesystem::file_size(split), 2048u + 4 * 1024);
    EXPECT_EQ(test::perlWalk(full, key.length()).size(), f.capacity);
    EXPECT_EQ(test::perlWalk(split, key.length()).size(), f.capacity + 1);
  }
}

TEST(MdxWriter, DiskSpaceExpressionAndInputChecks) {
  // 1000 keys of 36 bytes: 36 leaves, 2 branches, a root, and the tag header.
  EXPECT_EQ(MdxWriter::nodesPerLevel(1000, 36), (std::vector<std::uint64_t>{36, 2, 1}));
  EXPECT_EQ(MdxWriter::neededDiskSpace(1000, 36), 1000u * 36 + 1024u * 40);
  EXPECT_NO_THROW(MdxWriter::checkDiskSpace(76960, 1000, 36));
  try {
    MdxWriter::checkDiskSpace(76959, 1000, 36);
    ADD_FAILURE();
  } catch (const IndexError& e) {
    EXPECT_EQ(e.code(), 227);
    EXPECT_EQ(e.detail(), "Available disk space: 75 KBytes;needed: 76 KBytes [MakeIndex]");
  }

  EXPECT_NO_THROW(MdxWriter::checkExpression(std::string(220, 'x')));
  try {
    MdxWriter::checkExpression(std::string(221, 'x'));
    ADD_FAILURE();
  } catch (const IndexError& e) {
    EXPECT_EQ(e.code(), 300);
    EXPECT_EQ(e.detail(), "Expression length exceeds 100 bytes [AddIndexTag()]");
  }

  test::TempFolder folder;
  const IndexKey key(KeyType::Character, 2);
  MdxWriter writer(folder.file("x.MDX"), "T", mdx::MdxDate{2026, 1, 1});
  writer.beginTag(key, std::string(220, 'e'), 2);
  writer.add(reinterpret_cast<const unsigned char*>("BB"), 1);
  EXPECT_THROW(writer.add(reinterpret_cast<const unsigned char*>("AA"), 2), std::logic_error);
  EXPECT_THROW(writer.add(reinterpret_cast<const unsigned char*>("BB"), 1), std::logic_error);
  EXPECT_THROW(writer.finish(), std::logic_error);
  writer.add(reinterpret_cast<const unsigned char*>("BB"), 2);
  EXPECT_THROW(writer.add(reinterpret_cast<const unsigned char*>("CC"), 3), std::logic_error);
  writer.finish();
  MdxReader reader(folder.file("x.MDX"));
  EXPECT_EQ(reader.tagHeader().expression, std::string(220, 'e'));
}

}  // namespace
}  // namespace kestrel
