// Building an index of 1,000,000 keys: from a sorted stream (the writer
// alone), through the external sort in memory and with a budget small enough
// to spill runs, against the floor of writing the same number of bytes.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "dbase/ExternalSort.h"
#include "dbase/IndexKey.h"
#include "dbase/MdxWriter.h"

namespace {

using kestrel::ExternalSort;
using kestrel::IndexKey;
using kestrel::KeyType;
using kestrel::MdxWriter;

constexpr std::uint32_t kKeys = 1000000;

std::string benchFile() {
  return (std::filesystem::temp_directory_path() / "kestrel-mdx-bench.MDX").string();
}

// Keys like the log's sort fields: 30-byte names with duplicates, dates.
const std::vector<unsigned char>& keys(KeyType type) {
  static std::vector<unsigned char> names, dates;
  auto& out = type == KeyType::Character ? names : dates;
  if (!out.empty()) return out;
  const IndexKey key =
      type == KeyType::Character ? IndexKey(KeyType::Character, 30) : IndexKey(KeyType::Date, 8);
  out.resize(static_cast<std::size_t>(kKeys) * key.length());
  std::mt19937 random(1);
  char text[64];
  for (std::uint32_t i = 0; i < kKeys; ++i) {
    if (type == KeyType::Character)
      std::snprintf(text, sizeof text, "NAME %08u SMITH", static_cast<unsigned>(random() % 400000));
    else
      std::snprintf(text, sizeof text, "%04u%02u%02u", 1990 + static_cast<unsigned>(random() % 36),
                    1 + static_cast<unsigned>(random() % 12),
                    1 + static_cast<unsigned>(random() % 28));
    key.encode(text, out.data() + static_cast<std::size_t>(i) * key.length());
  }
  return out;
}

IndexKey keyFor(KeyType type) {
  return type == KeyType::Character ? IndexKey(KeyType::Character, 30) : IndexKey(KeyType::Date, 8);
}

// The writer alone, fed from an already sorted stream.
void BM_WriteSortedStream(benchmark::State& state) {
  const auto type = static_cast<KeyType>(state.range(0));
  const IndexKey key = keyFor(type);
  ExternalSort sorted(key, std::size_t{1} << 30);
  const auto& data = keys(type);
  for (std::uint32_t i = 0; i < kKeys; ++i)
    sorted.add(data.data() + std::size_t{i} * key.length(), i + 1);
  sorted.finish();
  std::vector<unsigned char> stream;
  std::vector<std::uint32_t> recNos;
  const unsigned char* k = nullptr;
  std::uint32_t r = 0;
  while (sorted.next(k, r)) {
    stream.insert(stream.end(), k, k + key.length());
    recNos.push_back(r);
  }
  for (auto _ : state) {
    MdxWriter writer(benchFile(), "REPORT3", {2026, 12, 9});
    writer.beginTag(key, "field", kKeys);
    for (std::uint32_t i = 0; i < kKeys; ++i)
      writer.add(stream.data() + std::size_t{i} * key.length(), recNos[i]);
    writer.finish();
  }
  state.counters["MB"] = static_cast<double>(std::filesystem::file_size(benchFile())) / 1e6;
  state.SetItemsProcessed(state.iterations() * kKeys);
  std::filesystem::remove(benchFile());
}

// Unsorted keys through the sort and the writer; range(1) is the sort's
// memory budget in MiB.
void BM_SortAndWrite(benchmark::State& state) {
  const auto type = static_cast<KeyType>(state.range(0));
  const IndexKey key = keyFor(type);
  const auto& data = keys(type);
  std::size_t runs = 0;
  for (auto _ : state) {
    ExternalSort sort(key, static_cast<std::size_t>(state.range(1)) << 20);
    for (std::uint32_t i = 0; i < kKeys; ++i)
      sort.add(data.data() + std::size_t{i} * key.length(), i + 1);
    sort.finish();
    runs = sort.runCount();
    MdxWriter::writeSorted(benchFile(), "REPORT3", {2026, 12, 9}, key, "field", sort);
  }
  state.counters["runs"] = static_cast<double>(runs);
  state.SetItemsProcessed(state.iterations() * kKeys);
  std::filesystem::remove(benchFile());
}

// The physical floor: writing as many bytes as the index has, sequentially.
void BM_WriteFloor(benchmark::State& state) {
  const auto type = static_cast<KeyType>(state.range(0));
  const std::uint64_t bytes = MdxWriter::neededDiskSpace(kKeys, keyFor(type).length() + 4);
  std::vector<unsigned char> chunk(256 * 1024, 0x5A);
  for (auto _ : state) {
    const int fd = ::open(benchFile().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    for (std::uint64_t done = 0; done < bytes; done += chunk.size())
      benchmark::DoNotOptimize(::write(fd, chunk.data(), chunk.size()));
    ::close(fd);
  }
  std::filesystem::remove(benchFile());
}

constexpr long kC = static_cast<long>('C');
constexpr long kD = static_cast<long>('D');

BENCHMARK(BM_WriteFloor)->Arg(kC)->Arg(kD)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteSortedStream)->Arg(kC)->Arg(kD)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortAndWrite)
    ->Args({kC, 256})
    ->Args({kC, 4})
    ->Args({kD, 256})
    ->Args({kD, 4})
    ->Unit(benchmark::kMillisecond);

}  // namespace
