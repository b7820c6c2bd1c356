// Files that other programs padded, left with stale pointers or cut short:
// what the storage layer may never do with them is overwrite data or report
// a failed read as an empty value.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "DbaseTestSupport.h"
#include "FaultInjectingFileSystem.h"
#include "dbase/ETableError.h"
#include "dbase/TTzDbf.h"

namespace kestrel::test {
namespace {

class DamagedFileTest : public DbaseTest {
 protected:
  // Opens (creating it when missing) a shared table of these fields.
  void openTable(TTzDbf& table, const std::string& name, std::vector<std::string> fields) {
    table.SetDbfFileName(m_dir.file(name));
    table.SetDbfFields(std::move(fields));
    table.Open();
  }
  void appendRow(TTzDbf& table, const std::vector<std::pair<std::string, std::string>>& values) {
    table.ClearRecord();
    for (const auto& [field, text] : values) table.SetFieldText(field, text);
    ASSERT_TRUE(table.ALock());
    table.AppendRec();
    table.UnLock();
  }
};

std::uint32_t headerCount(const std::string& dbf) {
  const auto* p = reinterpret_cast<const unsigned char*>(dbf.data());
  return p[4] | p[5] << 8 | p[6] << 16 | static_cast<std::uint32_t>(p[7]) << 24;
}

// The offset of the first byte of `before`, from `from` on, that `after`
// does not hold unchanged (npos when none).
std::size_t firstChangedByte(const std::string& before, const std::string& after,
                             std::size_t from) {
  for (std::size_t i = from; i < before.size(); ++i) {
    if (i >= after.size() || after[i] != before[i]) return i;
  }
  return std::string::npos;
}

std::string le32(std::uint32_t value) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>(value >> (8 * i));
  return bytes;
}

std::string be32(std::uint32_t value) {
  std::string bytes = le32(value);
  return std::string(bytes.rbegin(), bytes.rend());
}

// A memo file layout as other programs write it, with blocks of 512 bytes.
struct MemoFlavour {
  const char* name;
  unsigned char version;  // of the table
  const char* extension;
};
constexpr MemoFlavour kMemoFlavours[] = {
    {"dBASE III", 0x83, "DBT"}, {"dBASE IV", 0x8B, "DBT"}, {"FoxPro", 0xF5, "FPT"}};

// The next-free word as the flavour stores it.
std::string nextFreeWord(const MemoFlavour& flavour, std::uint32_t block) {
  return flavour.version == 0xF5 ? be32(block) : le32(block);
}

// One memo as the flavour stores it, padded to whole blocks.
std::string memoBlocks(const MemoFlavour& flavour, const std::string& text) {
  const auto length = static_cast<std::uint32_t>(text.size());
  std::string bytes;
  if (flavour.version == 0x83) {
    bytes = text + "\x1A\x1A";
  } else if (flavour.version == 0x8B) {
    bytes = std::string("\xFF\xFF\x08\x00", 4) + le32(length + 8) + text;
  } else {
    bytes = be32(1) + be32(length) + text;
  }
  bytes.resize((bytes.size() + 511) / 512 * 512, '\0');
  return bytes;
}

// The header block of a memo file whose next free block is `next`.
std::string memoHeader(const MemoFlavour& flavour, std::uint32_t next) {
  std::string header(512, '\0');
  header.replace(0, 4, nextFreeWord(flavour, next));
  if (flavour.version == 0x8B) {
    header.replace(8, 5, "TABLE");
    header[18] = 0x02;
    header[19] = 0x01;
    header[21] = 0x02;  // 512, little-endian
  } else if (flavour.version == 0xF5) {
    header[6] = 0x02;  // 512, big-endian
  }
  return header;
}

// A table of a 10-character name and a memo, as the flavour's program writes
// it: one record per (name, memo block).
std::string memoTable(const MemoFlavour& flavour,
                      const std::vector<std::pair<std::string, std::uint32_t>>& rows) {
  std::string dbf(32, '\0');
  dbf[0] = static_cast<char>(flavour.version);
  dbf.replace(4, 4, le32(static_cast<std::uint32_t>(rows.size())));
  dbf[8] = 97;  // 32 + 2 * 32 + 1
  dbf[10] = 21;
  for (const auto& [name, type] : {std::pair<const char*, char>{"NAME", 'C'}, {"NOTE", 'M'}}) {
    std::string field(32, '\0');
    field.replace(0, std::string(name).size(), name);
    field[11] = type;
    field[16] = 10;
    dbf += field;
  }
  dbf += '\r';
  for (const auto& [name, block] : rows) {
    const std::string number = block == 0 ? "0" : std::to_string(block);
    dbf += ' ' + name + std::string(10 - name.size(), ' ') + std::string(10 - number.size(), ' ') +
           number;
  }
  return dbf + '\x1A';
}

TEST_F(DamagedFileTest, NewMemoNeverOverwritesBytesOfTheMemoFile) {
  // Each case damages the memo file of a table whose records 1 and 2 hold
  // memos in blocks 1 and 2; a third record's memo must then go to a place
  // that held nothing, every byte after the next-free word staying as it was.
  struct Case {
    const char* what;
    std::function<void(std::string& dbt)> damage;
    bool oldMemosReadable;
    std::string newMemo = "NEW";
  };
  const Case cases[] = {
      {"next free block names the first memo", [](std::string& d) { d.replace(0, 4, le32(1)); },
       true},
      {"next free block names the second memo", [](std::string& d) { d.replace(0, 4, le32(2)); },
       true},
      {"next free block is the header", [](std::string& d) { d.replace(0, 4, le32(0)); }, true},
      {"next free block lies past the end", [](std::string& d) { d.replace(0, 4, le32(900)); },
       true},
      {"a free link leads into a memo in use",
       [](std::string& d) {
         // Block 3 is a free link too short for any memo; it names block 1.
         d.resize(4 * 512, '\0');
         d.replace(0, 4, le32(3));
         d.replace(3 * 512, 8, le32(1) + le32(0));
       },
       true},
      {"a free run spans a memo in use",
       [](std::string& d) {
         // Block 3, free, claims a run of three blocks; block 4 starts a memo.
         d.resize(4 * 512, '\0');
         d += std::string("\xFF\xFF\x08\x00\x0C\0\0\0keep", 12);
         d.resize(6 * 512, '\0');
         d.replace(0, 4, le32(3));
         d.replace(3 * 512, 8, le32(0) + le32(3));
       },
       true, std::string(600, 'n')},
      {"block size of one byte, next free inside memo text",
       [](std::string& d) {
         d[20] = 1;
         d[21] = 0;
         d.replace(0, 4, le32(520));
       },
       false},
      {"block size of 16 bytes, next free inside memo text",
       [](std::string& d) {
         d[20] = 16;
         d[21] = 0;
         d.replace(0, 4, le32(33));
       },
       false},
      {"empty memo file", [](std::string& d) { d.clear(); }, false},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string name = "memo" + std::to_string(++n);
    TTzDbf table(name);
    openTable(table, name + ".dbf", {"address,M,10,0", "city,C,20,0"});
    appendRow(table, {{"address", "first memo, record 1"}, {"city", "A"}});
    appendRow(table, {{"address", "second memo"}, {"city", "B"}});
    table.Close();
    const std::string dbtPath = m_dir.file(name + ".DBT");
    std::string before = readBytes(dbtPath);
    c.damage(before);
    writeBytes(dbtPath, before);

    table.Open();
    appendRow(table, {{"address", c.newMemo}, {"city", "C"}});
    table.Close();
    const std::string after = readBytes(dbtPath);
    ASSERT_GE(after.size(), before.size());
    EXPECT_EQ(firstChangedByte(before, after, 4), std::string::npos);

    table.Open();
    table.Last();
    EXPECT_EQ(table.GetFieldText("address"), c.newMemo);
    if (c.oldMemosReadable) {
      table.First();
      EXPECT_EQ(table.GetFieldText("address"), "first memo, record 1");
      table.Next();
      EXPECT_EQ(table.GetFieldText("address"), "second memo");
    }
    table.Close();
  }
}

TEST_F(DamagedFileTest, NextFreeBlockOfAnyValueNeverPutsANewMemoOverALiveOne) {
  // Three records whose memos take blocks 1, 2-4 and 5; the memo file's
  // next-free word is set to each value another program or a crash can
  // leave. A fourth record's memo must leave every existing memo as it was,
  // and the header must then name the first block past the file again.
  const std::string longMemo = [] {
    std::string text = "long";
    while (text.size() < 1290) text += " long";  // blocks 2, 3 and 4
    return text;
  }();
  const std::vector<std::pair<std::string, std::string>> memos = {
      {"one", "first memo"}, {"two", longMemo}, {"three", "third memo"}};
  const std::pair<const char*, std::uint32_t> pointers[] = {
      {"zero", 0}, {"one", 1}, {"inside a live memo", 3}, {"at the end", 6}, {"past the end", 900}};
  for (const MemoFlavour& flavour : kMemoFlavours) {
    for (const auto& [where, next] : pointers) {
      SCOPED_TRACE(std::string(flavour.name) + ", next free block " + where);
      std::filesystem::remove_all(m_dir.path());
      std::filesystem::create_directory(m_dir.path());
      const std::string path = m_dir.file("table.dbf");
      const std::string memoPath = m_dir.file(std::string("table.") + flavour.extension);
      std::string dbt = memoHeader(flavour, next);
      std::vector<std::pair<std::string, std::uint32_t>> rows;
      for (const auto& [name, text] : memos) {
        rows.emplace_back(name, static_cast<std::uint32_t>(dbt.size() / 512));
        dbt += memoBlocks(flavour, text);
      }
      ASSERT_EQ(rows[2].second, 5u);
      writeBytes(path, memoTable(flavour, rows));
      writeBytes(memoPath, dbt);

      TTzDbf table("table");
      table.SetDbfFileName(path);
      table.Open();
      appendRow(table, {{"name", "four"}, {"note", "the new memo"}});
      table.Close();

      const std::string after = readBytes(memoPath);
      EXPECT_EQ(firstChangedByte(dbt, after, 4), std::string::npos);
      EXPECT_EQ(after.substr(0, 4),
                nextFreeWord(flavour, static_cast<std::uint32_t>((after.size() + 511) / 512)));
      table.Open();
      for (const auto& [name, text] : memos) {
        EXPECT_EQ(table.GetFieldText("note"), text) << name;
        table.Next();
      }
      EXPECT_EQ(table.GetFieldText("note"), "the new memo");
      table.Close();
      EXPECT_EQ(readWithDbfread(path, m_dir.path().string()),
                "|one|first memo\n|two|" + longMemo + "\n|three|third memo\n|four|the new memo\n");
    }
  }
}

TEST_F(DamagedFileTest, SlotsWithinTheHeaderCountAreRecordsWhateverTheirFlag) {
  // The header counts `count` records of 101 bytes; record 1 is written and
  // every slot after it is zero bytes (what a crash can leave, or a
  // preallocated file). The files are sparse: nothing large is written.
  struct Case {
    const char* what;
    std::uint32_t count;
    bool endOfFileByte;
    bool exclusive;
  };
  constexpr std::uint32_t kAtTheLimit = 21262213;  // 65 + 101 * count bytes: just under 2 GiB
  const Case cases[] = {
      {"at the 2 GiB limit, shared", kAtTheLimit, false, false},
      {"at the 2 GiB limit, exclusive, end-of-file byte", kAtTheLimit, true, true},
      {"small, shared, end-of-file byte", 5000, true, false},
      {"small, exclusive", 5000, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = m_dir.file("tail.dbf");
    std::filesystem::remove(path);
    {
      TTzDbf table("tail");
      openTable(table, "tail.dbf", {"name,C,100,0"});
      appendRow(table, {{"name", "Ada"}});
    }
    std::string bytes = readBytes(path).substr(0, 65 + 101);
    bytes.replace(4, 4, le32(c.count));
    writeBytes(path, bytes);
    const std::int64_t slotsEnd = 65 + std::int64_t{101} * c.count;
    std::filesystem::resize_file(path, static_cast<std::uintmax_t>(slotsEnd + c.endOfFileByte));
    if (c.endOfFileByte) {
      const int fd = ::open(path.c_str(), O_WRONLY);
      ASSERT_GE(fd, 0);
      ASSERT_EQ(::pwrite(fd, "\x1A", 1, static_cast<off_t>(slotsEnd)), 1);
      ::close(fd);
    }
    const auto fileSize = std::filesystem::file_size(path);

    // A walk back over the zero slots would read millions of times; the
    // armed fault stops it at once.
    FaultInjectingFileSystem files;
    ScopedFileSystem scoped(files);
    files.failRead(200);
    TTzDbf table("tail");
    table.SetExclusive(c.exclusive);
    openTable(table, "tail.dbf", {"name,C,100,0"});
    EXPECT_EQ(table.RecordCount(), c.count);
    EXPECT_LT(files.bytesRead(), 64 * 1024);
    EXPECT_EQ(table.GetFieldText("name").substr(0, 3), "Ada");

    table.ClearRecord();
    table.SetFieldText("name", "Grace");
    ASSERT_TRUE(table.ALock());
    const bool fits = slotsEnd + 101 + 1 <= 0x7FFFFFFF;
    if (fits) {
      table.AppendRec();
      EXPECT_EQ(table.RecNo(), c.count + 1);
    } else {
      try {
        table.AppendRec();
        ADD_FAILURE() << "appended";
      } catch (const ETableError& e) {
        EXPECT_EQ(e.code(), 101);
        EXPECT_EQ(e.detail(), "Error writing " + path + " [APPEND]");
      }
    }
    table.Close();
    EXPECT_FALSE(files.struck());

    const std::uint32_t count = c.count + (fits ? 1 : 0);
    const int fd = ::open(path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    std::string head(8, '\0');
    std::string slot2(101, 'x');
    std::string last(102, 'x');
    ASSERT_EQ(::pread(fd, head.data(), head.size(), 0), 8);
    ASSERT_EQ(::pread(fd, slot2.data(), slot2.size(), 65 + 101), 101);
    const auto lastRead = ::pread(fd, last.data(), last.size(), 65 + 101 * (count - 1));
    ::close(fd);
    EXPECT_EQ(headerCount(head), count);
    EXPECT_EQ(slot2, std::string(101, '\0'));
    if (fits) {
      EXPECT_EQ(lastRead, 102);
      EXPECT_EQ(last, " Grace" + std::string(95, ' ') + "\x1A");
      EXPECT_EQ(std::filesystem::file_size(path), static_cast<std::uintmax_t>(slotsEnd + 102));
    } else {
      EXPECT_EQ(std::filesystem::file_size(path), fileSize);
    }
  }
}

TEST_F(DamagedFileTest, PaddingAfterTheEndOfFileByteHoldsNoRecords) {
  for (char pad : {'\x1A', '\0'}) {
    SCOPED_TRACE(static_cast<int>(pad));
    const std::string name = pad == '\0' ? "zeros" : "eofs";
    TTzDbf table(name);
    openTable(table, name + ".dbf", {"name,C,20,0"});
    appendRow(table, {{"name", "Ada"}});
    appendRow(table, {{"name", "Grace"}});
    table.Close();
    const std::string path = m_dir.file(name + ".dbf");
    std::string bytes = readBytes(path);
    bytes.resize(1024, pad);  // 65 + 2 * 21 + 1 bytes, then 916 of padding
    writeBytes(path, bytes);

    table.Open();
    EXPECT_EQ(table.RecordCount(), 2u);
    int visited = 0;
    for (table.First(); !table.Eof(); table.Next()) ++visited;
    EXPECT_EQ(visited, 2);
    appendRow(table, {{"name", "Linus"}});
    EXPECT_EQ(table.RecNo(), 3u);
    table.Close();
    EXPECT_EQ(headerCount(readBytes(path)), 3u);
    EXPECT_EQ(readWithDbfread(path, m_dir.path().string()), "|Ada\n|Grace\n|Linus\n");
  }
}

TEST_F(DamagedFileTest, HeaderLengthPastTheEndOfTheFileIsRefusedAndTheFileKept) {
  TTzDbf table("short");
  openTable(table, "short.dbf", {"name,C,20,0"});
  table.Close();
  const std::string path = m_dir.file("short.dbf");
  std::string bytes = readBytes(path);
  bytes[8] = static_cast<char>(200);  // five descriptors' room, the file has 66 bytes
  writeBytes(path, bytes);
  try {
    table.Open();
    ADD_FAILURE() << "opened";
  } catch (const ETableError& e) {
    EXPECT_EQ(e.code(), 210);
    EXPECT_EQ(e.detail(), path +
                              " is not a dBASE database. (Header length is past the end of the "
                              "file) [USE/OpenDBF]");
  }
  EXPECT_FALSE(table.Active());
  EXPECT_EQ(readBytes(path), bytes);
}

TEST_F(DamagedFileTest, FoxProMemoWithoutItsBlockHeadIsAReadError) {
  // A FoxPro table of one memo field; its record names block 8 (64-byte
  // blocks), where the memo file ends four bytes into the block head.
  std::string dbf(32, '\0');
  dbf[0] = static_cast<char>(0xF5);
  dbf[4] = 1;
  dbf[8] = 65;
  dbf[10] = 11;
  std::string field(32, '\0');
  field.replace(0, 4, "NOTE");
  field[11] = 'M';
  field[16] = 10;
  dbf += field + "\r" + "          8" + "\x1A";
  writeBytes(m_dir.file("fox.dbf"), dbf);
  std::string fpt(512, '\0');
  fpt[3] = 9;   // next free block, big-endian
  fpt[7] = 64;  // block size, big-endian
  fpt += std::string("\0\0\0\x01", 4);
  writeBytes(m_dir.file("fox.FPT"), fpt);

  TTzDbf table("fox");
  table.SetDbfFileName(m_dir.file("fox.dbf"));
  table.Open();
  try {
    const std::string text = table.GetFieldText("note");
    ADD_FAILURE() << "read \"" << text << "\"";
  } catch (const ETableError& e) {
    EXPECT_EQ(e.code(), 100);
    EXPECT_EQ(e.detail(), "Error reading " + m_dir.file("fox.FPT") + " Record # 1 [GetMemo]");
  }
}

TEST_F(DamagedFileTest, HeaderRewriteThatCannotReadTheMultiUserAreaWritesNothing) {
  TTzDbf table("cut");
  openTable(table, "cut.dbf", {"name,C,20,0"});
  appendRow(table, {{"name", "Ada"}});
  // Another program cuts the file inside the bytes a rewrite keeps.
  const std::string path = m_dir.file("cut.dbf");
  std::string bytes = readBytes(path).substr(0, 20);
  bytes.replace(16, 4, "OTHR");
  std::filesystem::resize_file(path, 20);
  writeBytes(path, bytes);
  try {
    table.Close();
    ADD_FAILURE() << "closed";
  } catch (const ETableError& e) {
    EXPECT_EQ(e.code(), 100);
    EXPECT_EQ(e.detail(), "Error reading " + path + " [CLOSE]");
  }
  EXPECT_EQ(readBytes(path), bytes);
}

}  // namespace
}  // namespace kestrel::test
