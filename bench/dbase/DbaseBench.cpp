// The storage layer's heavy patterns: the log append (open, blank, 16
// fields, lock, append, unlock, close), a sequential scan of a large log
// reading every field, the report's sorts (IndexOnOne by sentname0 and by
// rdate) against one plain read of the file, and Pack with one record in ten
// deleted. bench/run.sh runs the same work in python3-dbf, python3-dbfread
// and sort(1) and prints the ratios.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "dbase/DateText.h"
#include "dbase/TTzDbf.h"

namespace {

using kestrel::TTzDbf;

const std::vector<std::string> kLogFields = {
    "sentname0,C,30,0", "sentname1,C,30,0", "sentname2,C,30,0", "sentname3,C,30,0",
    "city,C,35,0",      "state,C,4,0",      "zip,C,10,0",       "rdate,D,10,0",
    "mailernum,C,27,0", "postage,C,15,0",   "certified,C,15,0", "restricted,C,15,0",
    "return,C,15,0",    "total,C,15,0",     "comments,C,35,0",  "re,C,25,0"};

std::string benchFolder() {
  const char* folder = std::getenv("KESTREL_BENCH_DIR");
  return folder != nullptr ? folder : std::filesystem::temp_directory_path().string();
}

void fillLogRecord(TTzDbf& table, long n) {
  table.ClearRecord();
  table.SetFieldText("sentname0", "Jos\xE9 Recipient " + std::to_string(n));
  table.SetFieldText("sentname1", "1200 Main Street");
  table.SetFieldText("sentname2", "Suite 300");
  table.SetFieldText("sentname3", "");
  table.SetFieldText("city", "Springfield");
  table.SetFieldText("state", "IL");
  table.SetFieldText("zip", "62701-1234");
  table.SetFieldText("mailernum", "9214 7123 4567 8901 2345 67");
  table.SetFieldText("postage", "     0.73");
  table.SetFieldText("certified", "     4.40");
  table.SetFieldText("restricted", "");
  table.SetFieldText("return", "     3.55");
  table.SetFieldText("total", "     8.68");
  table.SetFieldText("comments", "Notice of renewal");
  table.SetFieldText("re", "Account 4711");
  table.SetFieldText("rdate", "12/8/2026");
}

// The program's log pattern, one record per iteration: the window keeps its
// log component, set up once, and opens and closes it for each mailer.
void BM_LogAppend(benchmark::State& state) {
  kestrel::SetProgramDateFormat("M/d/yyyy");
  const std::string path = benchFolder() + "/bench_append.dbf";
  std::filesystem::remove(path);
  TTzDbf table("tzLog");
  table.SetDbfFileName(path);
  table.SetDbfFields(kLogFields);
  long n = 0;
  for (auto _ : state) {
    table.Open();
    fillLogRecord(table, n++);
    if (table.ALock()) {
      table.AppendRec();
      table.UnLock();
    }
    table.Close();
  }
  state.SetItemsProcessed(state.iterations());
  std::filesystem::remove(path);
}
BENCHMARK(BM_LogAppend)->Iterations(10000)->Unit(benchmark::kMicrosecond);

// Builds bench_<kind>_<records>.dbf in the bench folder unless it is there:
// `fill(table, n)` blanks and fills record n. The file is kept for run.sh,
// which measures the same tables with other tools.
template <typename Fill>
std::string benchTable(const std::string& kind, long records, Fill fill) {
  const std::string path =
      benchFolder() + "/bench_" + kind + "_" + std::to_string(records) + ".dbf";
  if (std::filesystem::exists(path)) return path;
  TTzDbf table("build");
  table.SetDbfFileName(path);
  table.SetDbfFields(kLogFields);
  table.SetExclusive(true);
  table.Open();
  for (long n = 0; n < records; ++n) {
    fill(table, n);
    table.AppendRec();
  }
  table.Close();
  return path;
}

std::string scanTable(long records) {
  return benchTable("scan", records, fillLogRecord);
}

void BM_ScanEveryField(benchmark::State& state) {
  kestrel::SetProgramDateFormat("M/d/yyyy");
  const std::string path = scanTable(state.range(0));
  std::size_t bytes = 0;
  for (auto _ : state) {
    TTzDbf table("tzLog");
    table.SetDbfFileName(path);
    table.Open();
    for (table.First(); !table.Eof(); table.Next()) {
      for (const kestrel::FieldDescriptor& field : table.fields()) {
        bytes += table.GetFieldText(field.name).size();
      }
    }
    table.Close();
  }
  benchmark::DoNotOptimize(bytes);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ScanEveryField)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

// A log of varied names and dates for the sorts (kept for run.sh, which
// cuts the same keys out of it and sorts them with sort(1)).
std::string sortTable(long records) {
  std::uint32_t state = 20261208;
  return benchTable("sort", records, [&state](TTzDbf& table, long n) {
    fillLogRecord(table, n);
    state = state * 1664525u + 1013904223u;
    char name[32];
    std::snprintf(name, sizeof name, "Recipient %07u", (state >> 4) % 5000000);
    table.SetFieldText("sentname0", name);
    const int year = 1990 + static_cast<int>((state >> 8) % 37);
    const int month = 1 + static_cast<int>((state >> 14) % 12);
    const int day = 1 + static_cast<int>((state >> 20) % 28);
    const bool blank = (state >> 27) % 50 == 0;
    table.SetFieldText("rdate", blank ? std::string()
                                      : std::to_string(month) + "/" + std::to_string(day) + "/" +
                                            std::to_string(year));
  });
}

// The physical floor of a sort: reading the table file once.
void BM_ReadFileOnce(benchmark::State& state) {
  const std::string path = sortTable(state.range(0));
  std::vector<char> buffer(std::size_t{1} << 20);
  std::size_t bytes = 0;
  for (auto _ : state) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    for (ssize_t got; (got = ::read(fd, buffer.data(), buffer.size())) > 0;) {
      bytes += static_cast<std::size_t>(got) + static_cast<unsigned char>(buffer[0]);
    }
    ::close(fd);
  }
  benchmark::DoNotOptimize(bytes);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadFileOnce)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

void indexOn(benchmark::State& state, const char* field) {
  kestrel::SetProgramDateFormat("M/d/yyyy");
  const std::string path = sortTable(state.range(0));
  for (auto _ : state) {
    TTzDbf table("tzLog");
    table.SetDbfFileName(path);
    table.Open();
    table.IndexOnOne(field, field);
    table.Close();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
void BM_IndexOnOne_sentname0(benchmark::State& state) {
  indexOn(state, "sentname0");
}
void BM_IndexOnOne_rdate(benchmark::State& state) {
  indexOn(state, "rdate");
}
BENCHMARK(BM_IndexOnOne_sentname0)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IndexOnOne_rdate)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

// Pack of a copy of the sort table with every tenth record marked deleted;
// only the pack is timed.
void BM_PackOneInTenDeleted(benchmark::State& state) {
  const std::string source = sortTable(state.range(0));
  const std::string path = benchFolder() + "/bench_pack.dbf";
  for (auto _ : state) {
    std::filesystem::copy_file(source, path, std::filesystem::copy_options::overwrite_existing);
    {
      TTzDbf table("marks");
      table.SetDbfFileName(path);
      table.SetExclusive(true);
      table.Open();
      const std::int64_t header = table.headerLength();
      const std::int64_t length = table.recordLength();
      table.Close();
      const int fd = ::open(path.c_str(), O_WRONLY);
      for (long n = 0; n < state.range(0); n += 10) {
        (void)!::pwrite(fd, "*", 1, header + n * length);
      }
      ::close(fd);
    }
    const auto start = std::chrono::steady_clock::now();
    TTzDbf table("tzLog");
    table.SetDbfFileName(path);
    table.SetExclusive(true);
    table.Open();
    const bool packed = table.Pack();
    const std::uint32_t kept = table.RecordCount();
    table.Close();
    if (!packed || kept != state.range(0) - (state.range(0) + 9) / 10) {
      state.SkipWithError("the pack kept the wrong records");
    }
    state.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  std::filesystem::remove(path);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PackOneInTenDeleted)
    ->Arg(1000000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
