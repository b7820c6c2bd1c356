#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "dbase/ExternalSort.h"
#include "dbase/IndexKey.h"
#include "dbase/MdxReader.h"
#include "dbase/MdxWriter.h"

namespace kestrel::test {

// One (key, record number) pair as the index stores it.
using Entry = std::pair<std::string, std::uint32_t>;

// A fresh folder under the system's temporary folder, removed afterwards.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kestrel-mdx-XXXXXX").string();
    m_path = ::mkdtemp(pattern.data());
  }
  ~TempFolder() { std::filesystem::remove_all(m_path); }
  std::string file(const std::string& name) const { return (m_path / name).string(); }
  const std::filesystem::path& path() const { return m_path; }

 private:
  std::filesystem::path m_path;
};

// Keys of the field texts, record numbers 1, 2, ... in the given order.
inline std::vector<Entry> keysOf(const IndexKey& key, const std::vector<std::string>& texts) {
  std::vector<Entry> out;
  std::string bytes(key.length(), '\0');
  for (std::size_t i = 0; i < texts.size(); ++i) {
    key.encode(texts[i], reinterpret_cast<unsigned char*>(bytes.data()));
    out.emplace_back(bytes, static_cast<std::uint32_t>(i + 1));
  }
  return out;
}

// Sorts the entries through the external sort and writes them as the file's tag.
inline void buildIndex(const std::string& path, const IndexKey& key,
                       const std::vector<Entry>& entries, std::size_t budget = 1 << 20) {
  ExternalSort sort(key, budget);
  for (const auto& [k, r] : entries) sort.add(reinterpret_cast<const unsigned char*>(k.data()), r);
  sort.finish();
  MdxWriter::writeSorted(path, "TABLE", mdx::MdxDate{2026, 12, 9}, key, "field", sort);
}

// Every entry of the file's tag, in the order our reader visits them.
inline std::vector<Entry> walk(const std::string& path) {
  MdxReader reader(path, "DUMMY_TAG");
  std::vector<Entry> out;
  const std::size_t length = reader.key().length();
  for (reader.First(); !reader.Eof(); reader.Next())
    out.emplace_back(std::string(reinterpret_cast<const char*>(reader.currentKey()), length),
                     reader.RecNo());
  return out;
}

// The entries in the order Perl's index_dump (libdbd-xbase-perl) walks the
// tag: it prints each key's raw bytes, a blank and the record number.
inline std::vector<Entry> perlWalk(const std::string& path, std::size_t keyLength) {
  const std::string out = path + ".dump";
  const std::string command = "index_dump --tag DUMMY_TAG '" + path + "' > '" + out + "' 2>&1";
  std::vector<Entry> entries;
  if (std::system(command.c_str()) != 0) return entries;
  std::ifstream in(out, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::size_t at = 0;
  while (at + keyLength < text.size()) {
    std::string key = text.substr(at, keyLength);
    at += keyLength + 1;  // the blank
    const std::size_t end = text.find('\n', at);
    if (end == std::string::npos) break;
    entries.emplace_back(key, static_cast<std::uint32_t>(std::stoul(text.substr(at, end - at))));
    at = end + 1;
  }
  std::remove(out.c_str());
  return entries;
}

inline std::vector<unsigned char> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
}

inline void writeFile(const std::string& path, const std::vector<unsigned char>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

}  // namespace kestrel::test
