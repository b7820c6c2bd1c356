#include <gtest/gtest.h>

#include <string>

#include "dbase/FilePath.h"

namespace kestrel {
namespace {

// The parts of a path as the storage layer names its companion files: the
// memo, the index and the semaphore beside a table, and the folder whose
// free space and group count. A name whose only dot leads it (".dbf") is an
// empty name with an extension, as on the system the tables come from.
TEST(FilePath, PartsOfAPathAndTheCompanionFilesBesideIt) {
  struct Case {
    std::string path;
    std::string folder;
    std::string name;
    std::string stem;
    std::string memo;  // withExtension(path, ".DBT")
  };
  const Case cases[] = {
      {"", ".", "", "", ".DBT"},
      {"t", ".", "t", "t", "t.DBT"},
      {"t.dbf", ".", "t.dbf", "t", "t.DBT"},
      {"/t.dbf", "/", "t.dbf", "t", "/t.DBT"},
      {"/x/y/t.dbf", "/x/y", "t.dbf", "t", "/x/y/t.DBT"},
      {"x.d/t", "x.d", "t", "t", "x.d/t.DBT"},
      {"t.b.dbf", ".", "t.b.dbf", "t.b", "t.b.DBT"},
      {"t.", ".", "t.", "t", "t.DBT"},
      {".dbf", ".", ".dbf", "", ".DBT"},
      {"x/.dbf", "x", ".dbf", "", "x/.DBT"},
      {"x/", "x", "", "", "x/.DBT"},
      {"/tmp/Adressen-M\xC3\xBCller.dbf", "/tmp", "Adressen-M\xC3\xBCller.dbf",
       "Adressen-M\xC3\xBCller", "/tmp/Adressen-M\xC3\xBCller.DBT"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(folderOf(c.path), c.folder);
    EXPECT_EQ(fileNameOf(c.path), c.name);
    EXPECT_EQ(stemOf(c.path), c.stem);
    EXPECT_EQ(withExtension(c.path, ".DBT"), c.memo);
  }
  EXPECT_EQ(pathBeside("/x/t.dbf", "zip.MDX"), "/x/zip.MDX");
  EXPECT_EQ(pathBeside("/t.dbf", "zip.MDX"), "/zip.MDX");
  EXPECT_EQ(pathBeside("t.dbf", "zip.MDX"), "zip.MDX");
  EXPECT_EQ(pathBeside("x/", "zip.MDX"), "x/zip.MDX");
}

}  // namespace
}  // namespace kestrel
