#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTemporaryDir>

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

// Made new, or left by an older version that shared it with every user: the
// folder ends up shared by its group alone, its files keeping that group.
TEST(Folders, SharedFoldersAreTheGroupsAndNotTheWorlds) {
  QTemporaryDir top;
  ASSERT_TRUE(top.isValid());
  const std::string made = top.filePath("new/Reports").toStdString();
  const std::string older = top.filePath("older").toStdString();
  ASSERT_EQ(::mkdir(older.c_str(), 0777), 0);
  ASSERT_EQ(::chmod(older.c_str(), 0777), 0);
  for (const std::string& folder : {made, older}) {
    SCOPED_TRACE(folder);
    EXPECT_TRUE(makeSharedFolder(folder));
    struct stat status {};
    ASSERT_EQ(::stat(folder.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 02775u);
  }
  // A plain file where the folder should be is no folder.
  const std::string plain = top.filePath("plain").toStdString();
  ASSERT_EQ(::close(::creat(plain.c_str(), 0644)), 0);
  EXPECT_FALSE(makeSharedFolder(plain));
}

}  // namespace
}  // namespace kestrel
