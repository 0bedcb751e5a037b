#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <map>

#include "package/FileSearch.h"
#include "package/FileUtil.h"
#include "package/Folders.h"
#include "package/Package.h"
#include "tests/package/PackageTestUtil.h"

namespace vec {
namespace {

using testing::Exists;
using testing::ScratchDir;
using testing::WriteBytes;

TEST(SaverBaseName, StopsAtTheFirstDot) {
  const std::pair<const char*, const char*> cases[] = {{"/savers/Sea.Waves.scr", "Sea"},
                                                       {"My.Saver.scr", "My"},
                                                       {"/a.b/NoExt", "NoExt"},
                                                       {"/x/.hidden", ""},
                                                       {"", ""}};
  for (auto [path, base] : cases) EXPECT_EQ(SaverBaseName(path), base) << path;
}

TEST(RunFolder, NameRuleModeAndStability) {
  ScratchDir dir;
  RunFolder f(dir.path(), "Sea", 42);
  auto p = f.Path();
  ASSERT_TRUE(p);
  EXPECT_EQ(*p, dir.path() + "Sea42/");
  struct stat st {};
  ASSERT_EQ(lstat(p->c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(f.Path(), p);
  // Asked again after it was removed: made again under the same name.
  ASSERT_EQ(unlink((*p + std::string(kRunLockName)).c_str()), 0);
  ASSERT_EQ(rmdir(p->c_str()), 0);
  EXPECT_EQ(f.Path(), p);
  EXPECT_TRUE(Exists(*p));
}

TEST(RunFolder, TwoRunsWithTheSameNumberGetTwoFolders) {
  ScratchDir dir;
  RunFolder a(dir.path(), "Sea", 42), b(dir.path(), "Sea", 42);
  EXPECT_EQ(a.Path(), dir.path() + "Sea42/");
  EXPECT_EQ(b.Path(), dir.path() + "Sea43/");
  EXPECT_EQ(a.Path(), dir.path() + "Sea42/");
}

TEST(RunFolder, NeverUsesASymbolicLinkOrAForeignEntry) {
  ScratchDir dir;
  ASSERT_EQ(mkdir((dir / "elsewhere").c_str(), 0755), 0);
  ASSERT_EQ(symlink((dir / "elsewhere").c_str(), (dir / "Sea7").c_str()), 0);
  WriteBytes(dir / "Sea8", "a file");
  ASSERT_EQ(mkdir((dir / "Sea9").c_str(), 0755), 0);  // someone else's folder (open mode)
  RunFolder f(dir.path(), "Sea", 7);
  EXPECT_EQ(f.Path(), dir.path() + "Sea10/");
  EXPECT_TRUE(testing::ListDir(dir / "elsewhere").empty());
}

TEST(RunFolder, AFolderReplacedByALinkIsAbandoned) {
  ScratchDir dir;
  RunFolder f(dir.path(), "Sea", 1);
  ASSERT_EQ(f.Path(), dir.path() + "Sea1/");
  ASSERT_EQ(unlink((dir / ("Sea1/" + std::string(kRunLockName))).c_str()), 0);
  ASSERT_EQ(rmdir((dir / "Sea1").c_str()), 0);
  ASSERT_EQ(mkdir((dir / "target").c_str(), 0700), 0);
  ASSERT_EQ(symlink((dir / "target").c_str(), (dir / "Sea1").c_str()), 0);
  EXPECT_EQ(f.Path(), dir.path() + "Sea2/");
}

TEST(RunFolder, UnwritableRootGivesNothing) {
  RunFolder f("/nonexistent/root/", "Sea", 1);
  EXPECT_FALSE(f.Path());
}

// True when someone holds the lock of the folder's lock file.
bool LockHeld(const std::string& folder) {
  UniqueFd fd(open((folder + std::string(kRunLockName)).c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) return false;
  if (flock(fd.get(), LOCK_EX | LOCK_NB) == 0) return false;
  return errno == EWOULDBLOCK;
}

TEST(RunFolder, HoldsItsLockForTheLifeOfTheRun) {
  ScratchDir dir;
  std::string folder;
  {
    RunFolder f(dir.path(), "Sea", 5);
    folder = f.Path().value_or("");
    ASSERT_EQ(folder, dir.path() + "Sea5/");
    EXPECT_TRUE(Exists(folder + std::string(kRunLockName)));
    EXPECT_TRUE(LockHeld(folder));
    EXPECT_EQ(f.Path(), folder);
    EXPECT_TRUE(LockHeld(folder));
  }
  EXPECT_FALSE(LockHeld(folder));  // the run is over: the folder is free to sweep
}

// A folder as a run leaves it: mode 0700, a lock file naming its saver, some files.
void MakeLeftover(const std::string& folder, const std::string& owner) {
  ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
  WriteBytes(folder + "/" + std::string(kRunLockName), owner + "\n");
  WriteBytes(folder + "/VEC.res", "settings");
  WriteBytes(folder + "/Beach.jpg", "jpeg");
}

TEST(RunFolder, LeftoversOfThisSaverAreSweptAndNothingElse) {
  ScratchDir dir;
  MakeLeftover(dir / "Sea1", "Sea");     // its run is gone: swept
  RunFolder live(dir.path(), "Sea", 2);  // a run in progress
  ASSERT_EQ(live.Path(), dir.path() + "Sea2/");
  WriteBytes(dir / "Sea2/VEC.res", "in use");
  ASSERT_EQ(mkdir((dir / "elsewhere").c_str(), 0700), 0);
  MakeLeftover(dir / "elsewhere/Sea3", "Sea");
  ASSERT_EQ(symlink((dir / "elsewhere/Sea3").c_str(), (dir / "Sea3").c_str()), 0);  // a link
  WriteBytes(dir / "Sea4", "a file");
  MakeLeftover(dir / "Sea5", "Sea");
  ASSERT_EQ(chmod((dir / "Sea5").c_str(), 0755), 0);  // not a private folder
  ASSERT_EQ(mkdir((dir / "Sea6").c_str(), 0700), 0);  // no lock: nothing says whose it is
  WriteBytes(dir / "Sea6/VEC.res", "unknown");
  MakeLeftover(dir / "Sea27", "Sea2");        // saver Sea2's run 7
  MakeLeftover(dir / "Seaside1", "Seaside");  // another saver's name
  MakeLeftover(dir / "Sea8", "Sea");
  const bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(chown((dir / "Sea8").c_str(), 65534, 65534), 0);  // another user's
  }

  EXPECT_EQ(RemoveStaleRunFolders(dir.path(), "Sea"), 1);
  std::vector<std::string> expected{"Sea2", "Sea27", "Sea3",     "Sea4",     "Sea5",
                                    "Sea6", "Sea8",  "Seaside1", "elsewhere"};
  EXPECT_EQ(testing::ListDir(dir.path()), expected);
  EXPECT_EQ(testing::ListDir(dir / "elsewhere/Sea3").size(), 3u);
  EXPECT_EQ(testing::ListDir(dir / "Sea2").size(), 2u);
  EXPECT_TRUE(LockHeld(dir / "Sea2/"));
  if (root) {
    EXPECT_EQ(testing::ListDir(dir / "Sea8").size(), 3u);
  }
}

TEST(GetLongPath, CanonicalFormOfExistingPathsOnly) {
  ScratchDir dir;
  WriteBytes(dir / "Sea.scr", "x");
  ASSERT_EQ(symlink((dir / "Sea.scr").c_str(), (dir / "link.scr").c_str()), 0);
  std::string real = GetLongPath(dir / "Sea.scr");
  EXPECT_FALSE(real.empty());
  EXPECT_EQ(GetLongPath(dir.path() + "./Sea.scr"), real);
  EXPECT_EQ(GetLongPath(dir / "link.scr"), real);
  EXPECT_EQ(GetLongPath(dir / "missing.scr"), "");
  EXPECT_EQ(GetLongPath(dir / "S*.scr"), "");
  EXPECT_EQ(GetLongPath(dir / "Sea.sc?"), "");
  EXPECT_EQ(GetLongPath(""), "");
}

TEST(SystemTempPath, TmpdirWithTrailingSlash) {
  const char* old = getenv("TMPDIR");
  const std::string saved = old ? old : "";
  setenv("TMPDIR", "/var/tmp", 1);
  EXPECT_EQ(SystemTempPath(), "/var/tmp/");
  setenv("TMPDIR", "", 1);
  EXPECT_EQ(SystemTempPath(), "/tmp/");
  unsetenv("TMPDIR");
  EXPECT_EQ(SystemTempPath(), "/tmp/");
  if (old) setenv("TMPDIR", saved.c_str(), 1);
}

TEST(SharedLibraryFolder, FirstExistingOfDataHomeAndDataDirs) {
  ScratchDir dir;
  for (const char* d : {"home", "one", "two", "two/Dawlish", "two/Dawlish/Common", "home/Dawlish"})
    ASSERT_EQ(mkdir((dir / d).c_str(), 0755), 0);
  std::map<std::string, std::string> env = {{"XDG_DATA_HOME", dir / "home"},
                                            {"XDG_DATA_DIRS", dir / "one" + ":" + dir / "two"}};
  auto fn = [&](const char* n) -> const char* {
    auto it = env.find(n);
    return it == env.end() ? nullptr : it->second.c_str();
  };
  EXPECT_EQ(SharedLibraryFolder(fn), dir / "two/Dawlish/Common/");
  ASSERT_EQ(mkdir((dir / "home/Dawlish/Common").c_str(), 0755), 0);
  EXPECT_EQ(SharedLibraryFolder(fn), dir / "home/Dawlish/Common/");
  env = {{"HOME", dir / "nothing"}, {"XDG_DATA_DIRS", dir / "one"}};
  EXPECT_EQ(SharedLibraryFolder(fn), "");
}

TEST(ResolveInFolder, ExactFirstThenIgnoringCase) {
  ScratchDir dir;
  WriteBytes(dir / "SEA.JPG", "1");
  EXPECT_EQ(ResolveInFolder(dir.path(), "sea.jpg"), dir / "SEA.JPG");
  WriteBytes(dir / "sea.jpg", "2");
  EXPECT_EQ(ResolveInFolder(dir.path(), "sea.jpg"), dir / "sea.jpg");
  EXPECT_EQ(ResolveInFolder(dir.path(), "other.jpg"), dir / "other.jpg");
}

// The one-listing index and the single lookup answer alike: the exact name over a variant
// in case (whichever the listing gives first), only regular files (a folder of that name is
// skipped, a link to a file counts, a dangling link does not), nothing for "." or "..".
TEST(FolderIndex, AnswersAsTheSingleLookup) {
  ScratchDir dir;
  WriteBytes(dir / "a.JPG", "1");
  WriteBytes(dir / "A.jpg", "2");
  ASSERT_EQ(mkdir((dir / "Photos.JPG").c_str(), 0700), 0);
  WriteBytes(dir / "Sea.bmp", "3");
  ASSERT_EQ(symlink((dir / "Sea.bmp").c_str(), (dir / "Link.bmp").c_str()), 0);
  ASSERT_EQ(symlink((dir / "gone").c_str(), (dir / "Dangling.bmp").c_str()), 0);
  const struct {
    const char* name;
    std::string found;
  } cases[] = {
      {"A.jpg", dir / "A.jpg"},
      {"a.JPG", dir / "a.JPG"},
      {"photos.jpg", ""},
      {"SEA.BMP", dir / "Sea.bmp"},
      {"link.BMP", dir / "Link.bmp"},
      {"dangling.bmp", ""},
      {".", ""},
      {"..", ""},
      {"", ""},
      {"missing.jpg", ""},
  };
  const FolderIndex index(dir.path());
  for (const auto& c : cases) {
    EXPECT_EQ(index.Find(c.name), c.found) << c.name;
    EXPECT_EQ(FindInFolder(dir.path(), c.name), c.found) << c.name;
  }
  // "a.jpg" matches both case variants: either may win, but both routines pick the same.
  EXPECT_EQ(index.Find("a.jpg"), FindInFolder(dir.path(), "a.jpg"));
  EXPECT_NE(index.Find("a.jpg"), "");
}

// A saver made on a case-blind system: the list says "beach.JPG" and the preview names the
// author's folder, while the package extracted "Beach.jpg" and "Preview.JPG". Rebasing must
// point at the files that exist (a plain folder + name would miss both); a name found
// nowhere still gets the run folder, and only the file-name part of a stored path counts.
TEST(RebaseSettings, FindsPicturesAndPreviewWhoseCaseDiffers) {
  ScratchDir dir;
  WriteBytes(dir / "Beach.jpg", "1");
  WriteBytes(dir / "Preview.JPG", "2");
  SaverSettings settings;
  settings.FileList.FileNames = {"beach.JPG", "C:\\Work\\gone.jpg"};
  settings.Setting.PreviewFile = "C:\\Work\\preview.jpg";
  const std::string folder = dir.path();
  RebaseSettings(settings, folder);
  EXPECT_EQ(settings.FileList.FileNames[0], folder + "Beach.jpg");
  EXPECT_EQ(settings.FileList.FileNames[1], folder + "gone.jpg");
  EXPECT_EQ(settings.Setting.PreviewFile, folder + "Preview.JPG");
}

TEST(SplitLines, AsAWindowsStringListReadsThem) {
  using V = std::vector<std::string>;
  const std::pair<std::string, V> cases[] = {
      {"", V{}},
      {"a\r\nb\r\n", V{"a", "b"}},
      {"a\nb", V{"a", "b"}},
      {"a\rb\r", V{"a", "b"}},
      {"a\r\n\r\nb", V{"a", "", "b"}},
      {"\r\n", V{""}},
  };
  for (const auto& [text, lines] : cases) EXPECT_EQ(SplitLines(text), lines);
}

}  // namespace
}  // namespace vec
