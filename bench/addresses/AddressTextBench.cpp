// Import of a 100,000-line name and address file into a new table, and
// Export of that 100,000-record table, each with the process's peak memory
// (run one benchmark per process, as bench/run.sh does, for peaks of their own).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "addresses/NameAddressTransfer.h"

namespace {

using namespace kestrel;

constexpr int kLines = 100000;

std::string workFolder() {
  const char* given = std::getenv("KESTREL_BENCH_DIR");
  return given ? given : std::filesystem::temp_directory_path().string();
}

std::string textFile() {
  const std::string path = workFolder() + "/bench_addresses_100000.txt";
  if (!std::filesystem::exists(path)) {
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < kLines; ++i) {
      out << "\"Recipient " << i << "\",\"c/o Acme Holdings\",\"" << i
          << " Oak Avenue\",\"\",\"Springfield\",\"IL\",\"62701-1234\"\r\n";
    }
  }
  return path;
}

void reportPeakMemory(benchmark::State& state) {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_Import100000Lines(benchmark::State& state) {
  const std::string text = textFile();
  const std::string table = workFolder() + "/bench_import.dbf";
  for (auto _ : state) {
    const ImportOutcome outcome = importNameAddressFile(text, table, true, {});
    if (outcome.records != kLines) state.SkipWithError("not every line became a record");
  }
  reportPeakMemory(state);
}
BENCHMARK(BM_Import100000Lines)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Export100000Records(benchmark::State& state) {
  const std::string table = workFolder() + "/bench_export.dbf";
  importNameAddressFile(textFile(), table, true, {});
  const std::string out = workFolder() + "/bench_export.txt";
  for (auto _ : state) {
    const ExportOutcome outcome = exportNameAddressFile(table, out);
    if (outcome.records != kLines) state.SkipWithError("not every record became a line");
  }
  reportPeakMemory(state);
}
BENCHMARK(BM_Export100000Records)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
