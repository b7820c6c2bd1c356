// The data-set calls that the report engine and the data-aware controls use,
// run by one test body against the table component over a file and against
// the in-memory data set that tests of those users take, so that the two
// cannot drift apart.
#include <gtest/gtest.h>

#include <memory>

#include "DbaseTestSupport.h"
#include "MemoryDataSet.h"
#include "dbase/TTzDbf.h"

namespace kestrel::test {
namespace {

struct FileTable {
  static std::unique_ptr<DataSet> make(const TempDir& dir) {
    auto table = std::make_unique<TTzDbf>("tzAddresses");
    table->SetDbfFileName(dir.file("addresses.dbf"));
    table->SetDbfFields({"address,M,10,0", "city,C,20,0", "state,C,2,0", "zip,C,10,0"});
    table->Open();
    return table;
  }
};

struct InMemory {
  static std::unique_ptr<DataSet> make(const TempDir&) {
    auto set = std::make_unique<MemoryDataSet>(std::vector<MemoryDataSet::Field>{
        {"address", 'M', 10}, {"city", 'C', 20}, {"state", 'C', 2}, {"zip", 'C', 10}});
    set->Open();
    return set;
  }
};

template <typename Kind>
class DataSetTest : public DbaseTest {
 protected:
  void SetUp() override {
    DbaseTest::SetUp();
    m_set = Kind::make(m_dir);
  }
  void TearDown() override { m_set.reset(); }

  void add(const std::string& city, const std::vector<std::string>& lines) {
    m_set->Insert();
    m_set->SetMField("address", lines);
    m_set->SetFieldText("city", city);
    m_set->Post();
  }
  std::string city() { return trimmed(m_set->GetFieldText("CITY")); }
  static std::string trimmed(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
  }

  std::unique_ptr<DataSet> m_set;
};

using Kinds = ::testing::Types<FileTable, InMemory>;
TYPED_TEST_SUITE(DataSetTest, Kinds);

TYPED_TEST(DataSetTest, WalksBothWaysAndStopsAtEitherEnd) {
  DataSet& set = *this->m_set;
  set.First();
  EXPECT_TRUE(set.Bof());
  EXPECT_TRUE(set.Eof());
  EXPECT_EQ(set.RecNo(), 0u);
  EXPECT_EQ(set.FieldCount(), 4);
  EXPECT_EQ(set.FieldName(1), "CITY");
  EXPECT_EQ(set.FieldType(0), 'M');
  EXPECT_EQ(set.FieldLength(2), 2);

  this->add("Dover", {"Ann Example", "12 Main St"});
  this->add("A city name longer than twenty", {});
  this->add("Salem", {"Bob"});
  EXPECT_EQ(set.RecordCount(), 3u);
  EXPECT_EQ(set.RecNo(), 3u);

  std::vector<std::string> forward;
  for (set.First(); !set.Eof(); set.Next()) forward.push_back(this->city());
  EXPECT_EQ(forward, (std::vector<std::string>{"Dover", "A city name longer t", "Salem"}));
  EXPECT_EQ(set.RecNo(), 3u);  // past the end, the last record stays current

  std::vector<std::string> backward;
  for (set.Last(); !set.Bof(); set.Prior()) backward.push_back(this->city());
  EXPECT_EQ(backward, (std::vector<std::string>{"Salem", "A city name longer t", "Dover"}));
  EXPECT_EQ(set.RecNo(), 1u);

  std::vector<std::string> lines;
  set.GetMField("address", lines);
  EXPECT_EQ(lines, (std::vector<std::string>{"Ann Example", "12 Main St"}));
}

TYPED_TEST(DataSetTest, ChangesArePostedByAMoveAndUndoneByCancel) {
  DataSet& set = *this->m_set;
  this->add("Dover", {"Ann"});
  this->add("Salem", {"Bob"});

  set.First();
  set.SetFieldText("city", "Newark");  // typing starts the edit
  EXPECT_EQ(set.State(), TDataSetState::dsEdit);
  set.Next();
  EXPECT_EQ(set.State(), TDataSetState::dsBrowse);
  set.Edit();
  set.SetFieldText("city", "Camden");
  set.Cancel();
  EXPECT_EQ(this->city(), "Salem");

  set.Edit();
  set.Prior();  // an edit without a change is cancelled, not written
  EXPECT_EQ(this->city(), "Newark");
  EXPECT_EQ(set.RecordCount(), 2u);
}

TYPED_TEST(DataSetTest, DeletedRecordIsMarkedAndStillVisited) {
  DataSet& set = *this->m_set;
  this->add("Dover", {});
  this->add("Salem", {});
  set.First();
  set.Delete();
  EXPECT_TRUE(set.Deleted());
  int visited = 0;
  int deleted = 0;
  for (set.First(); !set.Eof(); set.Next()) {
    ++visited;
    deleted += set.Deleted() ? 1 : 0;
  }
  EXPECT_EQ(visited, 2);
  EXPECT_EQ(deleted, 1);
}

TYPED_TEST(DataSetTest, ListenersHearEachOutermostCallOnce) {
  DataSet& set = *this->m_set;
  std::vector<DataSetEvent> heard;
  const int id = set.addListener([&](DataSetEvent event) { heard.push_back(event); });
  set.Edit();  // on an empty set this inserts: one notice, not two
  set.SetFieldText("city", "Dover");
  set.First();  // posts the new record on the way: still one notice
  set.removeListener(id);
  set.Next();
  EXPECT_EQ(heard, (std::vector<DataSetEvent>{DataSetEvent::StateChanged, DataSetEvent::Scrolled}));
  EXPECT_EQ(set.RecordCount(), 1u);
}

}  // namespace
}  // namespace kestrel::test
