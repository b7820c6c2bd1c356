// The storage layer's two heavy patterns: the log append (open, blank, 16
// fields, lock, append, unlock, close) and a sequential scan of a large log
// reading every field. bench/run.sh runs the same work in python3-dbf and
// python3-dbfread and prints the ratios.
#include <benchmark/benchmark.h>
#include <unistd.h>

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

// The program's log pattern, one record per iteration.
void BM_LogAppend(benchmark::State& state) {
  kestrel::SetProgramDateFormat("M/d/yyyy");
  const std::string path = benchFolder() + "/bench_append.dbf";
  std::filesystem::remove(path);
  long n = 0;
  for (auto _ : state) {
    TTzDbf table("tzLog");
    table.SetDbfFileName(path);
    table.SetDbfFields(kLogFields);
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

// Builds the scan table once (kept for the Python comparison in run.sh).
std::string scanTable(long records) {
  const std::string path = benchFolder() + "/bench_scan_" + std::to_string(records) + ".dbf";
  if (std::filesystem::exists(path)) return path;
  TTzDbf table("build");
  table.SetDbfFileName(path);
  table.SetDbfFields(kLogFields);
  table.SetExclusive(true);
  table.Open();
  for (long n = 0; n < records; ++n) {
    fillLogRecord(table, n);
    table.AppendRec();
  }
  table.Close();
  return path;
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

}  // namespace

BENCHMARK_MAIN();
