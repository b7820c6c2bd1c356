// Every writing operation under failing writes, torn writes and a full disk:
// it completes, or it fails with its error and leaves the files as they were.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>

#include "DbaseTestSupport.h"
#include "FaultInjectingFileSystem.h"
#include "TestPaths.h"
#include "dbase/ETableError.h"
#include "dbase/TTzDbf.h"

namespace kestrel::test {
namespace {

using Files = std::map<std::string, std::string>;

Files filesIn(const std::filesystem::path& folder) {
  Files files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    files[entry.path().filename().string()] = readBytes(entry.path().string());
  }
  return files;
}

// The live records as python3-dbfread reads them, one "memo|city" line each.
std::multiset<std::string> liveRecords(const std::string& table, const std::string& scripts) {
  std::multiset<std::string> lines;
  const std::string all = readWithDbfread(table, scripts);
  std::size_t start = 0;
  for (std::size_t end; (end = all.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string line = all.substr(start, end - start);
    if (line.rfind("*", 0) != 0) lines.insert(line);
  }
  return lines;
}

class FaultInjectionTest : public DbaseTest {
 protected:
  // A shared address table in its own folder: record 1 with a memo, record
  // 2 marked deleted.
  std::string prepare(const std::string& folder) {
    std::filesystem::create_directory(m_dir.path() / folder);
    const std::string path = m_dir.file(folder + "/book.dbf");
    TTzDbf table("setup");
    table.SetDbfFileName(path);
    table.SetDbfFields({"address,M,10,0", "city,C,20,0"});
    table.Open();
    for (const char* city : {"Springfield", "Shelbyville"}) {
      table.ClearRecord();
      table.SetFieldText("city", city);
      if (city[0] == 'S' && city[1] == 'p') table.SetFieldText("address", "12 Main St");
      EXPECT_TRUE(table.ALock());
      table.AppendRec();
      table.UnLock();
    }
    table.Delete();
    table.Close();
    return path;
  }

  void open(TTzDbf& table, const std::string& path) {
    table.SetDbfFileName(path);
    table.SetDbfFields({"address,M,10,0", "city,C,20,0"});
    table.Open();
  }

  FaultInjectingFileSystem m_fs;
};

struct Operation {
  const char* name;
  // Runs up to the point where the faults are armed, then the operation.
  std::function<void(TTzDbf& table, const std::string& path, const std::function<void()>& arm)> run;
  int code;  // the error a failed write gives
};

const Operation kOperations[] = {
    {"create",
     [](TTzDbf& table, const std::string& path, const std::function<void()>& arm) {
       table.SetDbfFileName(path.substr(0, path.size() - 8) + "new.dbf");
       table.SetDbfFields({"address,M,10,0", "city,C,20,0"});
       arm();
       table.Open();  // a table that cannot be written is not there to open
     },
     2},
    {"append",
     [](TTzDbf& table, const std::string&, const std::function<void()>& arm) {
       table.ClearRecord();
       table.SetFieldText("city", "Ogdenville");
       ASSERT_TRUE(table.ALock());
       arm();
       table.AppendRec();
     },
     101},
    {"rewrite",
     [](TTzDbf& table, const std::string&, const std::function<void()>& arm) {
       table.First();
       table.Edit();
       table.SetFieldText("city", "North Haverbrook");
       arm();
       table.Post();
     },
     101},
    {"memo add",
     [](TTzDbf& table, const std::string&, const std::function<void()>& arm) {
       table.First();
       arm();
       table.SetFieldText("address", std::string(700, 'm'));
     },
     1005},
    {"close after an append",
     [](TTzDbf& table, const std::string&, const std::function<void()>& arm) {
       table.ClearRecord();
       table.SetFieldText("city", "Ogdenville");
       ASSERT_TRUE(table.ALock());
       table.AppendRec();
       table.UnLock();
       arm();
       table.Close();
     },
     101},
};

TEST_F(FaultInjectionTest, EveryWriteCompletesOrLeavesTheFilesAsTheyWere) {
  ScopedFileSystem scoped(m_fs);
  struct Fault {
    const char* name;
    std::function<void(FaultInjectingFileSystem&, int nth)> arm;
  };
  const Fault faults[] = {
      {"failing write", [](FaultInjectingFileSystem& fs, int n) { fs.failWrite(n); }},
      {"torn write",
       [](FaultInjectingFileSystem& fs, int n) {
         fs.failWrite(n, FaultInjectingFileSystem::WriteFault::Torn, ENOSPC);
       }},
      {"full disk", [](FaultInjectingFileSystem& fs, int n) { fs.diskFullAfter((n - 1) * 64); }},
  };
  int folder = 0;
  for (const Operation& op : kOperations) {
    int failures = 0;  // every operation writes, so some fault must strike it
    for (const Fault& fault : faults) {
      bool completed = false;
      for (int n = 1; n <= 40 && !completed; ++n) {
        SCOPED_TRACE(std::string(op.name) + ", " + fault.name + " " + std::to_string(n));
        const std::string name = "f" + std::to_string(++folder);
        const std::string path = prepare(name);
        Files before;
        TTzDbf table("faulty");
        if (std::string(op.name) != "create") open(table, path);
        const auto arm = [&] {
          before = filesIn(m_dir.path() / name);
          fault.arm(m_fs, n);
        };
        try {
          op.run(table, path, arm);
          completed = true;
          EXPECT_FALSE(m_fs.struck()) << "a failed write was reported as success";
        } catch (const ETableError& e) {
          EXPECT_TRUE(m_fs.struck()) << e.what();
          EXPECT_EQ(e.code(), op.code) << e.what();
          ++failures;
        }
        m_fs.disarm();
        if (!completed) {
          table.Close();  // nothing was changed, so nothing is written
          EXPECT_EQ(filesIn(m_dir.path() / name), before);
        }
      }
      EXPECT_TRUE(completed) << op.name << " never completed";
    }
    EXPECT_GE(failures, 2) << op.name;  // a failing and a torn write at least
  }
}

TEST_F(FaultInjectionTest, PackThatFailsKeepsEveryLiveRecordAndSaysSo) {
  // A failed pack may leave records it already moved twice in the file (the
  // file is cut only at the end), but never loses one nor reports success.
  ScopedFileSystem scoped(m_fs);
  bool completed = false;
  for (int n = 1; n <= 40 && !completed; ++n) {
    SCOPED_TRACE(n);
    const std::string name = "p" + std::to_string(n);
    const std::string path = prepare(name);
    const auto live = liveRecords(path, m_dir.path().string());
    {
      TTzDbf table("packed");
      open(table, path);
      m_fs.failWrite(n);
      try {
        completed = table.Pack();
        EXPECT_TRUE(completed);
        EXPECT_FALSE(m_fs.struck()) << "a failed write was reported as success";
      } catch (const ETableError& e) {
        EXPECT_TRUE(m_fs.struck()) << e.what();
      }
      m_fs.disarm();
    }
    const auto after = liveRecords(path, m_dir.path().string());
    for (const std::string& record : live) EXPECT_EQ(after.count(record), 1u) << record;
  }
  EXPECT_TRUE(completed);
}

TEST_F(FaultInjectionTest, IndexBuildAndUpdateFailuresAreReportedAndTheBuildLeavesTheTable) {
  // The index file itself is not restored after a failure (it is built
  // again by the next sort); the table is never touched by a build, and no
  // failed index write passes for success.
  ScopedFileSystem scoped(m_fs);
  bool built = false;
  for (int n = 1; n <= 40 && !built; ++n) {
    SCOPED_TRACE(n);
    const std::string name = "i" + std::to_string(n);
    const std::string path = prepare(name);
    const std::string tableBytes = readBytes(path);
    TTzDbf table("indexed");
    open(table, path);
    m_fs.failWrite(n);
    try {
      built = table.IndexOnOne("city", "city");
      EXPECT_FALSE(m_fs.struck()) << "a failed write was reported as success";
    } catch (const ETableError& e) {
      EXPECT_TRUE(m_fs.struck()) << e.what();
    }
    m_fs.disarm();
    EXPECT_EQ(readBytes(path), tableBytes);
    if (!built) {
      ASSERT_TRUE(table.IndexOnOne("city", "city"));  // a failed build is no lasting harm
    }
    table.First();
    EXPECT_EQ(table.GetFieldText("city").substr(0, 11), "Shelbyville");
  }
  EXPECT_TRUE(built);

  bool updated = false;
  for (int n = 1; n <= 40 && !updated; ++n) {
    SCOPED_TRACE(n);
    const std::string path = prepare("u" + std::to_string(n));
    TTzDbf table("updated");
    open(table, path);
    ASSERT_TRUE(table.IndexOnOne("city", "city"));
    table.ClearRecord();
    table.SetFieldText("city", "Brockway");
    ASSERT_TRUE(table.ALock());
    m_fs.failWrite(n);
    try {
      table.AppendRec();
      updated = true;
      EXPECT_FALSE(m_fs.struck()) << "a failed write was reported as success";
    } catch (const ETableError& e) {
      EXPECT_TRUE(m_fs.struck()) << e.what();
    }
    m_fs.disarm();
  }
  EXPECT_TRUE(updated);
}

TEST_F(FaultInjectionTest, FailedReadsAndLocksAreErrorsNeverEmptyValues) {
  ScopedFileSystem scoped(m_fs);
  const std::string path = prepare("r");
  TTzDbf table("reader");
  open(table, path);
  m_fs.failRead(1);
  EXPECT_THROW(table.GetFieldText("address"), ETableError);  // the memo's block head
  m_fs.disarm();
  EXPECT_EQ(table.GetFieldText("address"), "12 Main St");
  {
    // Another writer grows the file, so the count must be looked at again
    // (this table's own appends it counts as it makes them).
    TTzDbf other("writer");
    open(other, path);
    other.ClearRecord();
    ASSERT_TRUE(other.ALock());
    other.AppendRec();
    other.UnLock();
  }
  m_fs.failRead(1);
  EXPECT_THROW(table.RecordCount(), ETableError);  // the last slot's deletion flag
  m_fs.disarm();
  m_fs.failLock(1);
  EXPECT_FALSE(table.ALock());
  m_fs.disarm();
  EXPECT_TRUE(table.ALock());
}

TEST_F(FaultInjectionTest, HeaderCountWrittenLastHoldsEveryRecord) {
  // Another process appends and closes right when this one is about to
  // write its header: the count written last must still hold every record.
  ScopedFileSystem scoped(m_fs);
  const std::string path = prepare("c");
  const std::string tool = std::string(kBinaryDir) + "/tools/dbf/kestrel-dbf";
  TTzDbf table("counted");
  open(table, path);
  table.ClearRecord();
  table.SetFieldText("city", "Ogdenville");
  ASSERT_TRUE(table.ALock());
  table.AppendRec();
  table.UnLock();
  bool ran = false;
  m_fs.beforeWrite([&](const std::string& file, std::int64_t offset, std::size_t) {
    if (file != path || offset != 0 || ran) return;
    ran = true;
    runCommand("printf 'x,Capital City\\n' | " + tool + " append " + shellQuote(path) + " 2>&1");
  });
  table.Close();
  m_fs.beforeWrite(nullptr);
  ASSERT_TRUE(ran);
  const std::string bytes = readBytes(path);
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::uint32_t header =
      p[4] | p[5] << 8 | p[6] << 16 | static_cast<std::uint32_t>(p[7]) << 24;
  const std::uint32_t whole = static_cast<std::uint32_t>((bytes.size() - 97) / 31);
  EXPECT_EQ(header, whole);
}

}  // namespace
}  // namespace kestrel::test
