#include <gtest/gtest.h>

#include <QCoreApplication>

#include "core/Folders.h"

namespace kestrel {
namespace {

TEST(Folders, ProgramFolderIsTheExecutablesFolderWithASeparator) {
  EXPECT_EQ(programFolderPath(), QCoreApplication::applicationDirPath().toStdString() + "/");
}

TEST(Folders, TestsHandInTheMachineFolderAndCanRestoreTheRealOne) {
  setMachineFolderForTests("/tmp/some-folder");
  EXPECT_EQ(machineFolderPath(), "/tmp/some-folder/");
  setMachineFolderForTests("/tmp/other/");
  EXPECT_EQ(machineFolderPath(), "/tmp/other/");
  setMachineFolderForTests("");
  EXPECT_EQ(machineFolderPath(), "/var/lib/kestrel/");
}

}  // namespace
}  // namespace kestrel
