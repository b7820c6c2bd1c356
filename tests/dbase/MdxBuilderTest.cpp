#include <gtest/gtest.h>

#include "MdxTestSupport.h"
#include "dbase/IndexError.h"
#include "dbase/MdxBuilder.h"

namespace kestrel {
namespace {

MdxBuilder::Request request(const test::TempFolder& folder) {
  MdxBuilder::Request r;
  r.indexPath = folder.file("rdate.MDX");
  r.tableName = "report3";
  r.expression = "rdate";
  r.fieldType = 'D';
  r.fieldLength = 8;
  r.recordCount = 20000;
  r.freeDiskBytes = MdxBuilder::freeDiskBytes(folder.path().string());
  r.memoryBudget = 16 * 1024;
  r.tempFolder = folder.path().string();
  r.today = {2026, 12, 9};
  return r;
}

// Dates of a log: a blank one now and then, many on the same day.
std::string dateOf(std::uint32_t recNo) {
  if (recNo % 10 == 0) return "        ";
  return "2026" + std::to_string(10 + recNo % 3) + std::to_string(10 + recNo % 17);
}

TEST(MdxBuilder, BuildsFromOneReadOfTheRecords) {
  test::TempFolder folder;
  const auto r = request(folder);
  int reads = 0;
  MdxBuilder::build(r, [&](const MdxBuilder::RecordSink& sink) {
    ++reads;
    for (std::uint32_t n = 1; n <= r.recordCount; ++n) sink(dateOf(n), n);
  });
  EXPECT_EQ(reads, 1);
  // Only the index and no temporary file is left in the folder.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                          std::filesystem::directory_iterator()),
            1);

  MdxReader reader(r.indexPath, "dummy_tag");
  EXPECT_EQ(reader.header().tableName, "report3");
  std::uint32_t count = 0;
  std::string previous;
  std::uint32_t previousRec = 0;
  for (reader.First(); !reader.Eof(); reader.Next(), ++count) {
    // Chronological with the blank dates last; equal dates by record number.
    std::string date = dateOf(reader.RecNo());
    if (date == "        ") date = "~";
    ASSERT_TRUE(previous < date || (previous == date && previousRec < reader.RecNo())) << count;
    previous = date;
    previousRec = reader.RecNo();
  }
  EXPECT_EQ(count, r.recordCount);
  EXPECT_EQ(previous, "~");
}

TEST(MdxBuilder, RefusalsLeaveTheEmptyFile) {
  test::TempFolder folder;
  auto none = [](const MdxBuilder::RecordSink&) { FAIL() << "records read"; };
  struct Refusal {
    char type;
    std::size_t length;
    std::string expression;
    std::uint64_t free;
    int code;
  };
  for (const Refusal& x :
       {Refusal{'L', 1, "f", 1u << 30, 254}, Refusal{'C', 101, "f", 1u << 30, 266},
        Refusal{'C', 10, std::string(221, 'f'), 1u << 30, 300}, Refusal{'C', 10, "f", 1000, 227}}) {
    auto r = request(folder);
    r.fieldType = x.type;
    r.fieldLength = x.length;
    r.expression = x.expression;
    r.freeDiskBytes = x.free;
    try {
      MdxBuilder::build(r, none);
      ADD_FAILURE() << x.code;
    } catch (const IndexError& e) {
      EXPECT_EQ(e.code(), x.code);
    }
    EXPECT_EQ(std::filesystem::file_size(r.indexPath), 2048u);
  }
}

}  // namespace
}  // namespace kestrel
