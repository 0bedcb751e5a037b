// Installing and uninstalling a saver in a temporary home and temporary system folders.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <map>

#include "app/InstallCommand.h"
#include "app/SaverInstall.h"
#include "app/XScreenSaverPrograms.h"
#include "tests/package/PackageTestUtil.h"

namespace vec {
namespace {

using testing::BuildPackage;
using testing::Exists;
using testing::PackageParts;
using testing::ReadBytes;
using testing::ScratchDir;
using testing::WriteBytes;

// Every entry below a folder: path -> content ("<dir>" for folders, "-> target" for links).
void Snapshot(const std::string& root, const std::string& rel,
              std::map<std::string, std::string>& out) {
  for (const std::string& name : testing::ListDir(root + rel)) {
    const std::string path = rel + name;
    struct stat st {};
    lstat((root + path).c_str(), &st);
    if (S_ISDIR(st.st_mode)) {
      out[path] = "<dir>";
      Snapshot(root, path + "/", out);
    } else if (S_ISLNK(st.st_mode)) {
      char buf[4096];
      ssize_t n = readlink((root + path).c_str(), buf, sizeof buf);
      out[path] = "-> " + std::string(buf, n > 0 ? static_cast<size_t>(n) : 0);
    } else {
      out[path] = ReadBytes(root + path);
    }
  }
}
std::map<std::string, std::string> Snapshot(const std::string& root) {
  std::map<std::string, std::string> out;
  Snapshot(root, "", out);
  return out;
}

std::map<std::string, std::string> DesktopKeys(const std::string& text) {
  std::map<std::string, std::string> keys;
  size_t start = 0;
  while (start < text.size()) {
    size_t nl = text.find('\n', start);
    if (nl == std::string::npos) nl = text.size();
    std::string line = text.substr(start, nl - start);
    if (size_t eq = line.find('='); eq != std::string::npos && line[0] != '#')
      keys[line.substr(0, eq)] = line.substr(eq + 1);
    start = nl + 1;
  }
  return keys;
}

class SaverInstallTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.path().empty());
    for (const char* d : {"home", "system", "system/lib", "system/share", "system/hacks"})
      ASSERT_EQ(mkdir((dir_ / d).c_str(), 0755), 0);
    roots_.home = dir_ / "home";
    roots_.dataHome = dir_ / "home/.local/share";
    roots_.systemSavers = dir_ / "system/lib/vecsaver/savers";
    roots_.systemApplications = dir_ / "system/share/applications";
    roots_.mateHackFolder = dir_ / "system/hacks";
    PackageParts parts;
    parts.settings = "[General]\r\nProductName=Caf\xE9 \"Sea\"\r\n";
    saver_ = dir_ / "Sea Waves.scr";
    WriteBytes(saver_, BuildPackage(parts));
  }

  InstallOutcome Install(std::vector<Daemon> daemons, bool system = false) {
    return InstallSaver({saver_, saver_, std::move(daemons), system}, roots_);
  }
  std::string Installed() const { return roots_.dataHome + "/vecsaver/savers/Sea_Waves.scr"; }
  std::string XConfig() const { return roots_.home + "/.xscreensaver"; }

  ScratchDir dir_;
  InstallRoots roots_;
  std::string saver_;
};

TEST_F(SaverInstallTest, InstalledNameNeedsNoQuoting) {
  EXPECT_EQ(InstalledName("/a/b/Sea Waves.scr"), "Sea_Waves.scr");
  EXPECT_EQ(InstalledName("Caf\xC3\xA9$(x).SCR"), "Caf____x_.SCR");
  EXPECT_EQ(InstalledName("/a/-x"), "saver-x");
}

TEST_F(SaverInstallTest, ParsesTheDaemonNames) {
  EXPECT_EQ(ParseDaemons("all")->size(), 3u);
  EXPECT_EQ(*ParseDaemons("mate,xscreensaver,mate"),
            (std::vector<Daemon>{Daemon::Mate, Daemon::XScreenSaver}));
  EXPECT_FALSE(ParseDaemons("gnome"));
  EXPECT_FALSE(ParseDaemons(""));
}

TEST_F(SaverInstallTest, CopiesTheSaverAndWritesTheProductNameAsLabel) {
  InstallOutcome out = Install({Daemon::XScreenSaver});
  ASSERT_TRUE(out.ok) << ::testing::PrintToString(out.lines);
  EXPECT_EQ(ReadBytes(Installed()), ReadBytes(saver_));
  struct stat st {};
  ASSERT_EQ(stat(Installed().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0111, 0111u);
  auto programs = XScreenSaverFile(ReadBytes(XConfig())).Programs();
  ASSERT_EQ(programs.size(), 1u);
  // Windows-1252 turned into UTF-8, the quotes that would end the label replaced.
  EXPECT_EQ(programs[0].label, "Caf\xC3\xA9 'Sea'");
  EXPECT_EQ(programs[0].command, Installed() + " -root");
}

TEST_F(SaverInstallTest, ABarePackageGetsTheRuntimeInFront) {
  PackageParts parts;
  parts.prefix = "";
  WriteBytes(dir_ / "bare.pkg", BuildPackage(parts));
  const std::string runtime =
      "\x7f"
      "ELF runtime bytes";
  WriteBytes(dir_ / "vecsaver", runtime + BuildPackage(parts));  // its own package is cut
  ASSERT_TRUE(InstallSaver({dir_ / "bare.pkg", dir_ / "vecsaver", {}, false}, roots_).ok);
  EXPECT_EQ(ReadBytes(roots_.dataHome + "/vecsaver/savers/bare.pkg"),
            runtime + BuildPackage(parts));
  // A runtime that is no program is refused.
  WriteBytes(dir_ / "other.pkg", BuildPackage(parts));
  EXPECT_FALSE(InstallSaver({dir_ / "other.pkg", dir_ / "other.pkg", {}, false}, roots_).ok);
  EXPECT_FALSE(Exists(roots_.dataHome + "/vecsaver/savers/other.pkg"));
}

TEST_F(SaverInstallTest, AFileWithoutPackageInstallsNothing) {
  WriteBytes(dir_ / "plain",
             "\x7f"
             "ELF nothing behind");
  InstallOutcome out =
      InstallSaver({dir_ / "plain", dir_ / "plain", {Daemon::XScreenSaver}, false}, roots_);
  EXPECT_FALSE(out.ok);
  EXPECT_TRUE(Snapshot(roots_.home).empty());
}

TEST_F(SaverInstallTest, InstallingTwiceAddsOneProgramsLine) {
  const std::string user = "programs: \\\n  maze -root \\n\n";
  WriteBytes(XConfig(), user);
  ASSERT_TRUE(Install({Daemon::XScreenSaver}).ok);
  const std::string once = ReadBytes(XConfig());
  ASSERT_TRUE(Install({Daemon::XScreenSaver}).ok);
  EXPECT_EQ(ReadBytes(XConfig()), once);
  EXPECT_EQ(XScreenSaverFile(once).Programs().size(), 2u);
  // The backup holds the file as it was before the change.
  EXPECT_EQ(ReadBytes(XConfig() + ".bak"), user);
}

TEST_F(SaverInstallTest, AnEntryTheUserTurnedOffIsNotAddedAgain) {
  const std::string user = "programs: \\\n- \"Mine\" " + Installed() + " -root \\n\n";
  WriteBytes(XConfig(), user);
  ASSERT_TRUE(Install({Daemon::XScreenSaver}).ok);
  EXPECT_EQ(ReadBytes(XConfig()), user);
}

TEST_F(SaverInstallTest, UninstallRestoresTheUserFileExactly) {
  const std::string user =
      "timeout:\t0:10:00\nprograms:\t\\\n\t\tmaze -root \\n\\\n- GL:\tsuperquadrics -root \\n\n"
      "lock:\tTrue\n";
  WriteBytes(XConfig(), user);
  const auto before = Snapshot(roots_.home);
  ASSERT_TRUE(Install({Daemon::XScreenSaver, Daemon::Mate, Daemon::XSecureLock}).ok);
  EXPECT_NE(ReadBytes(XConfig()), user);
  InstallOutcome out = UninstallSaver(saver_, roots_);
  ASSERT_TRUE(out.ok) << ::testing::PrintToString(out.lines);
  EXPECT_EQ(ReadBytes(XConfig()), user);
  auto after = Snapshot(roots_.home);
  after.erase(".xscreensaver.bak");
  EXPECT_EQ(after, before);
}

TEST_F(SaverInstallTest, UninstallRemovesAFileItCreatedAndEveryFolderItMade) {
  ASSERT_TRUE(Install({Daemon::XScreenSaver, Daemon::Mate}).ok);
  ASSERT_TRUE(Exists(XConfig()));
  ASSERT_TRUE(UninstallSaver("Sea_Waves.scr", roots_).ok);
  EXPECT_TRUE(Snapshot(roots_.home).empty()) << ::testing::PrintToString(Snapshot(roots_.home));
}

TEST_F(SaverInstallTest, UninstallLeavesWhatItDidNotInstall) {
  // Files of the user beside ours, and a link of somebody else in the hack folder.
  ASSERT_EQ(system(("mkdir -p " + roots_.dataHome + "/vecsaver/savers " + roots_.dataHome +
                    "/applications/screensavers")
                       .c_str()),
            0);
  WriteBytes(roots_.dataHome + "/vecsaver/savers/Other.scr", "other");
  WriteBytes(roots_.dataHome + "/applications/screensavers/other.desktop", "[Desktop Entry]\n");
  WriteBytes(roots_.mateHackFolder + "/Sea_Waves.scr", "not ours");
  WriteBytes(XConfig(), "programs: \\\n  /elsewhere/Sea_Waves.scr -root \\n\n");
  const auto home = Snapshot(roots_.home);
  const auto system = Snapshot(dir_ / "system");

  InstallOutcome in = Install({Daemon::XScreenSaver, Daemon::Mate}, false);
  ASSERT_TRUE(in.ok) << ::testing::PrintToString(in.lines);
  ASSERT_TRUE(UninstallSaver(saver_, roots_).ok);
  auto after = Snapshot(roots_.home);
  after.erase(".xscreensaver.bak");
  EXPECT_EQ(after, home);
  EXPECT_EQ(Snapshot(dir_ / "system"), system);
  EXPECT_FALSE(UninstallSaver(saver_, roots_).ok);  // nothing is installed any more
}

TEST_F(SaverInstallTest, MateDesktopEntryHasTheKeysMateReads) {
  ASSERT_TRUE(Install({Daemon::Mate}).ok);
  const std::string file =
      roots_.dataHome + "/applications/screensavers/vecsaver-Sea_Waves.desktop";
  const std::string text = ReadBytes(file);
  ASSERT_EQ(text.rfind("[Desktop Entry]\n", 0), 0u) << text;
  auto keys = DesktopKeys(text);
  const std::string program = roots_.mateHackFolder + "/Sea_Waves.scr";
  const std::vector<std::pair<std::string, std::string>> required = {
      {"Type", "Application"},
      {"Categories", "Screensaver;"},
      {"OnlyShowIn", "MATE;"},
      {"Exec", program},
      {"TryExec", program},
      {"Name", "Caf\xC3\xA9 \"Sea\""},
      {"Comment", "A picture screen saver"}};
  for (const auto& [key, value] : required) EXPECT_EQ(keys[key], value) << key;
  // Without --system the link is left to root: nothing is made in the hack folder.
  EXPECT_FALSE(Exists(program));
}

TEST_F(SaverInstallTest, DesktopEntryValidates) {
  if (std::system("command -v desktop-file-validate >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "desktop-file-validate is not installed (Debian package desktop-file-utils)";
  ASSERT_TRUE(Install({Daemon::Mate}).ok);
  const std::string file =
      roots_.dataHome + "/applications/screensavers/vecsaver-Sea_Waves.desktop";
  const std::string log = dir_ / "validate.txt";
  int status = std::system(("desktop-file-validate " + file + " >" + log + " 2>&1").c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadBytes(log);
  // Hints are allowed (mate-screensaver's own entries get the same one about the category).
  EXPECT_EQ(ReadBytes(log).find("error:"), std::string::npos) << ReadBytes(log);
  EXPECT_EQ(ReadBytes(log).find("warning:"), std::string::npos) << ReadBytes(log);
}

TEST_F(SaverInstallTest, SystemInstallLinksIntoTheHackFolderAndUninstallUnlinks) {
  InstallOutcome out = Install({Daemon::Mate}, true);
  ASSERT_TRUE(out.ok) << ::testing::PrintToString(out.lines);
  const std::string installed = roots_.systemSavers + "/Sea_Waves.scr";
  EXPECT_EQ(ReadBytes(installed), ReadBytes(saver_));
  char buf[4096];
  ssize_t n = readlink((roots_.mateHackFolder + "/Sea_Waves.scr").c_str(), buf, sizeof buf);
  ASSERT_GT(n, 0);
  EXPECT_EQ(std::string(buf, static_cast<size_t>(n)), installed);
  EXPECT_TRUE(Exists(roots_.systemApplications + "/screensavers/vecsaver-Sea_Waves.desktop"));
  ASSERT_TRUE(UninstallSaver(saver_, roots_).ok);
  EXPECT_EQ(testing::ListDir(roots_.mateHackFolder), std::vector<std::string>{});
  EXPECT_EQ(testing::ListDir(dir_ / "system/lib"), std::vector<std::string>{});
  EXPECT_EQ(testing::ListDir(dir_ / "system/share"), std::vector<std::string>{});
}

TEST_F(SaverInstallTest, ListShowsTheInstalledSaversAndTheirDaemons) {
  ASSERT_TRUE(Install({Daemon::XScreenSaver, Daemon::XSecureLock}).ok);
  auto list = ListInstalled(roots_);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].name, "Sea_Waves.scr");
  EXPECT_EQ(list[0].path, Installed());
  EXPECT_EQ(list[0].productName, "Caf\xC3\xA9 \"Sea\"");
  EXPECT_EQ(list[0].daemons, (std::vector<std::string>{"xscreensaver", "xsecurelock"}));
}

TEST_F(SaverInstallTest, XSecureLockGetsTheLineToUse) {
  std::ostringstream out, err;
  InstallOptions options;
  options.action = InstallAction::Install;
  options.forDaemons = "xsecurelock";
  options.saverFile = saver_;
  EXPECT_EQ(RunInstallAction(options, roots_, out, err), 0) << err.str();
  EXPECT_NE(out.str().find("\n  XSECURELOCK_SAVER=" + Installed() + " xsecurelock\n"),
            std::string::npos)
      << out.str();
  EXPECT_FALSE(Exists(XConfig()));
  options.forDaemons = "gnome";
  EXPECT_EQ(RunInstallAction(options, roots_, out, err), 2);
}

}  // namespace
}  // namespace vec
