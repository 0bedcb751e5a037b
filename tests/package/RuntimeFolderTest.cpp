// The private runtime folder of a run whose session has none.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>
#include <string>

#include "package/RuntimeFolder.h"
#include "tests/package/PackageTestUtil.h"

namespace vec {
namespace {

using testing::ReadBytes;
using testing::ScratchDir;
using testing::WriteBytes;

// Sets an environment variable (nullopt: unsets it) for the length of a test.
class EnvironmentValue {
 public:
  EnvironmentValue(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = getenv(name)) old_ = old;
    Set(value);
  }
  ~EnvironmentValue() { Set(old_); }
  EnvironmentValue(const EnvironmentValue&) = delete;
  EnvironmentValue& operator=(const EnvironmentValue&) = delete;

 private:
  void Set(const std::optional<std::string>& value) {
    if (value)
      setenv(name_, value->c_str(), 1);
    else
      unsetenv(name_);
  }
  const char* name_;
  std::optional<std::string> old_;
};

std::optional<std::string> Variable(const char* name) {
  const char* value = getenv(name);
  return value ? std::optional<std::string>(value) : std::nullopt;
}

// Catches a session's own folder replaced, an empty value taken for a folder (the toolkit
// takes it for none), and a folder others could read (the toolkit refuses one that is not
// 0700 and falls back to its own, complaining).
TEST(PrivateRuntimeFolder, MadeOnlyWhenTheSessionHasNone) {
  struct Case {
    const char* name;
    std::optional<std::string> runtime;
    bool made;
  } cases[] = {
      {"unset", std::nullopt, true},
      {"empty", "", true},
      {"the session's own", "/run/user/4242", false},
  };
  for (const Case& c : cases) {
    ScratchDir temp;
    EnvironmentValue tmpdir("TMPDIR", temp.path());
    EnvironmentValue runtime("XDG_RUNTIME_DIR", c.runtime);
    {
      PrivateRuntimeFolder folder("vecsaver-runtime");
      if (!c.made) {
        EXPECT_EQ(folder.Path(), "") << c.name;
        EXPECT_EQ(Variable("XDG_RUNTIME_DIR"), c.runtime) << c.name;
        continue;
      }
      ASSERT_EQ(folder.Path().rfind(temp.path() + "vecsaver-runtime-", 0), 0u)
          << c.name << ": " << folder.Path();
      EXPECT_EQ(Variable("XDG_RUNTIME_DIR"), folder.Path()) << c.name;
      struct stat st {};
      ASSERT_EQ(lstat(folder.Path().c_str(), &st), 0) << c.name;
      EXPECT_TRUE(S_ISDIR(st.st_mode)) << c.name;
      EXPECT_EQ(st.st_mode & 07777, 0700u) << c.name;
      EXPECT_EQ(st.st_uid, geteuid()) << c.name;
    }
    EXPECT_EQ(Variable("XDG_RUNTIME_DIR"), c.runtime) << c.name << ": not restored";
  }
}

// What the toolkit put in the folder goes with it; a link inside is removed, not followed.
// Catches a folder left behind because it was not empty, and a removal that follows a link
// out of the folder.
TEST(PrivateRuntimeFolder, RemovedWithItsContentsAtTheEnd) {
  ScratchDir temp;
  EnvironmentValue tmpdir("TMPDIR", temp.path());
  EnvironmentValue runtime("XDG_RUNTIME_DIR", std::nullopt);
  mkdir((temp / "outside").c_str(), 0755);
  WriteBytes(temp / "outside/keep.txt", "kept");
  std::string path;
  {
    PrivateRuntimeFolder folder("vectool-runtime");
    path = folder.Path();
    ASSERT_FALSE(path.empty());
    mkdir((path + "/sub").c_str(), 0700);
    WriteBytes(path + "/sub/socket-like", "x");
    ASSERT_EQ(symlink((temp / "outside").c_str(), (path + "/link").c_str()), 0);
  }
  struct stat st {};
  EXPECT_NE(lstat(path.c_str(), &st), 0) << path << " is still there";
  EXPECT_EQ(ReadBytes(temp / "outside/keep.txt"), "kept");
  EXPECT_EQ(Variable("XDG_RUNTIME_DIR"), std::nullopt);
}

// A temporary path that cannot take the folder leaves things as they were.
TEST(PrivateRuntimeFolder, NoFolderWhereTheTemporaryPathIsMissing) {
  ScratchDir temp;
  EnvironmentValue tmpdir("TMPDIR", temp / "missing");
  EnvironmentValue runtime("XDG_RUNTIME_DIR", std::nullopt);
  PrivateRuntimeFolder folder("vecsaver-runtime");
  EXPECT_EQ(folder.Path(), "");
  EXPECT_EQ(Variable("XDG_RUNTIME_DIR"), std::nullopt);
}

}  // namespace
}  // namespace vec
