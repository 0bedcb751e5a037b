// Replacing a file whole or not at all.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "package/AtomicFile.h"
#include "tests/configui/settings/TestFolders.h"

namespace vec {
namespace {

using test::FolderEntries;
using test::ReadText;
using test::ScratchFolder;
using test::WriteText;

// Catches a writer that appends to the old file instead of replacing it.
TEST(AtomicFile, ReplacesTheWholeFile) {
  ScratchFolder dir;
  WriteText(dir / "a.ini", "old text that is longer than the new one\n");
  ASSERT_TRUE(WriteFileAtomically(dir / "a.ini", "new\n").ok());
  EXPECT_EQ(ReadText(dir / "a.ini"), "new\n");
  EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"a.ini"});
}

// Catches a writer that only replaces and never creates.
TEST(AtomicFile, CreatesAMissingFile) {
  ScratchFolder dir;
  ASSERT_TRUE(WriteFileAtomically(dir / "b.ini", "x=1\r\n").ok());
  EXPECT_EQ(ReadText(dir / "b.ini"), "x=1\r\n");
}

// Catches the temporary file's private mode leaking onto a replaced file.
TEST(AtomicFile, KeepsTheModeOfAReplacedFile) {
  ScratchFolder dir;
  WriteText(dir / "c.ini", "a");
  chmod((dir / "c.ini").c_str(), 0640);
  ASSERT_TRUE(WriteFileAtomically(dir / "c.ini", "b").ok());
  struct stat st {};
  ASSERT_EQ(stat((dir / "c.ini").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// Catches a rename over the link, which would cut the user's link to their real file.
TEST(AtomicFile, WritesThroughASymbolicLink) {
  ScratchFolder dir;
  WriteText(dir / "real.ini", "old");
  ASSERT_EQ(symlink((dir / "real.ini").c_str(), (dir / "link.ini").c_str()), 0);
  ASSERT_TRUE(WriteFileAtomically(dir / "link.ini", "new").ok());
  EXPECT_EQ(ReadText(dir / "real.ini"), "new");
  struct stat st {};
  ASSERT_EQ(lstat((dir / "link.ini").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
}

// Catches a write that truncates the old file before it knows the new one can be written.
TEST(AtomicFile, AReadOnlyFolderLeavesTheOldFileAndReports) {
  ScratchFolder dir;
  WriteText(dir / "d.ini", "[Setting]\nDuration=45\n");
  {
    test::ReadOnlyFolder readOnly(dir.path());
    if (!readOnly.active()) GTEST_SKIP() << "cannot make a folder read-only here";
    Status s = WriteFileAtomically(dir / "d.ini", "[Setting]\nDuration=10\n");
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.error().code, ErrorCode::WriteFailed);
    EXPECT_NE(s.error().message.find("d.ini"), std::string::npos);
  }
  EXPECT_EQ(ReadText(dir / "d.ini"), "[Setting]\nDuration=45\n");
  EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"d.ini"});
}

// Catches a failure after the temporary file exists that leaves the temporary file behind.
TEST(AtomicFile, AFailedRenameRemovesTheTemporaryFile) {
  ScratchFolder dir;
  ASSERT_EQ(mkdir((dir / "e.ini").c_str(), 0755), 0);
  WriteText(dir / "e.ini/inside", "keep");
  EXPECT_FALSE(WriteFileAtomically(dir / "e.ini", "x").ok());
  EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"e.ini"});
}

}  // namespace
}  // namespace vec
