#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <functional>
#include <optional>

#include "app/RunModes.h"
#include "package/Container.h"
#include "package/Folders.h"
#include "tests/package/PackageTestUtil.h"

namespace vec {
namespace {

using testing::BuildPackage;
using testing::Exists;
using testing::ListDir;
using testing::PackageParts;
using testing::ScratchDir;
using testing::WriteBytes;

class RecordingHost : public IRunModeHost {
 public:
  std::vector<std::string> calls;
  std::function<void(SaverSettings&)> onSlideshow;
  std::function<void(SaverSettings&)> onForm;

  void InitApplication() override { calls.push_back("init"); }
  void Information(std::string_view text) override { calls.push_back("info:" + std::string(text)); }
  void Error(std::string_view text) override { calls.push_back("error:" + std::string(text)); }
  void LoadDefinitions(const std::string& uiFile) override {
    calls.push_back(std::string("defs:") + (Exists(uiFile) ? "present" : "missing"));
  }
  void ShowSlideshow(SaverSettings& settings, const SaverTarget&) override {
    calls.push_back("slideshow");
    if (onSlideshow) onSlideshow(settings);
  }
  void ShowDesignedForm(SaverSettings& settings, std::string_view name) override {
    calls.push_back("form:" + std::string(name));
    if (onForm) onForm(settings);
  }
  void DrawPreview(SaverSettings& settings, std::string_view arg) override {
    calls.push_back("preview:" + std::string(arg) + ":" +
                    (Exists(settings.Setting.PreviewFile) ? "present" : "missing"));
  }
};

using Calls = std::vector<std::string>;

class RunModesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* old = getenv("TMPDIR")) oldTmpdir_ = old;
    setenv("TMPDIR", tmp_.path().c_str(), 1);
  }
  // The test's own temporary folder is given back, so the next test's scratch folders go
  // there too.
  void TearDown() override {
    if (oldTmpdir_)
      setenv("TMPDIR", oldTmpdir_->c_str(), 1);
    else
      unsetenv("TMPDIR");
  }

  std::string Saver(const std::string& name, const PackageParts& parts) {
    std::string path = savers_ / name;
    WriteBytes(path, BuildPackage(parts));
    return path;
  }
  int Run(const std::vector<std::string>& args, const std::string& exe) {
    return RunFromCommandLine(args, host_, exe);
  }
  // Every run leaves the temporary root as it found it.
  void ExpectNoRunFolder() { EXPECT_EQ(ListDir(tmp_.path()), std::vector<std::string>{}); }

  static PackageParts TwoPictures() {
    PackageParts parts;
    parts.fileList += "A.jpg=1\r\nB.jpg=0\r\n";
    parts.settings =
        "[Default]\r\nStretch=0\r\nSpeed=80\r\nDirectX=1\r\nDirectXQuality=2\r\n"
        "[Advance]\r\nPreviewFile=A.jpg\r\n";
    parts.files = {{"A.jpg", "a"}, {"B.jpg", "b"}};
    return parts;
  }

  ScratchDir tmp_;
  ScratchDir savers_;
  RecordingHost host_;
  std::optional<std::string> oldTmpdir_;
};

TEST_F(RunModesTest, UnknownCodeRunsNothing) {
  std::string saver = Saver("Sea.scr", TwoPictures());
  EXPECT_EQ(Run({"SX"}, saver), 0);
  EXPECT_EQ(host_.calls, Calls{"init"});
  ExpectNoRunFolder();
}

TEST_F(RunModesTest, PasswordModeEndsAtOnce) {
  std::string saver = Saver("Sea.scr", TwoPictures());
  EXPECT_EQ(Run({"/a", "1234"}, saver), 0);
  EXPECT_EQ(Run({"A"}, saver), 0);
  EXPECT_TRUE(host_.calls.empty());
  ExpectNoRunFolder();
}

TEST_F(RunModesTest, SaverWithoutPicturesSaysSo) {
  std::string saver = Saver("Empty.scr", PackageParts{});
  EXPECT_EQ(Run({"/s"}, saver), 0);
  EXPECT_EQ(host_.calls,
            (Calls{"init", "defs:present", "info:This screensaver does not contain any image."}));
  ExpectNoRunFolder();
}

TEST_F(RunModesTest, SaverModeChecksAllThenAppliesTheUserFile) {
  std::string saver = Saver("Sea.Waves.scr", TwoPictures());
  WriteBytes(savers_ / "Sea.Waves.ini", "[Setting]\r\nImageMode=2\r\nSpeed=0\r\n[Files]\r\n0=\r\n");
  std::vector<std::string> checked;
  bool filesThere = false;
  host_.onSlideshow = [&](SaverSettings& p) {
    checked = p.FileList.Checked;
    filesThere = Exists(p.FileList.FileNames[1]);
    EXPECT_EQ(p.Setting.Speed, 10);
    EXPECT_EQ(p.Setting.ShowImageMode, 2);
    EXPECT_EQ(p.FileList.FileNames[0],
              tmp_.path() + "Sea" + std::to_string(RunNumber()) + "/A.jpg");
  };
  EXPECT_EQ(Run({"-S"}, saver), 0);
  EXPECT_EQ(host_.calls, (Calls{"init", "defs:present", "slideshow"}));
  EXPECT_EQ(checked, (std::vector<std::string>{"FALSE", "TRUE"}));
  EXPECT_TRUE(filesThere);
  ExpectNoRunFolder();
}

TEST_F(RunModesTest, PackageOptionPlaysTheOwnPath) {
  std::string saver = Saver("Other.scr", TwoPictures());
  WriteBytes(savers_ / "Other.ini", "[Setting]\r\nImageMode=3\r\nIndex=1\r\n");
  std::vector<std::string> checked;
  host_.onSlideshow = [&](SaverSettings& p) { checked = p.FileList.Checked; };
  EXPECT_EQ(Run({"/s", "--package", saver}, "/nonexistent/vecsaver"), 0);
  EXPECT_EQ(checked, (std::vector<std::string>{"FALSE", "TRUE"}));
}

TEST_F(RunModesTest, ConfigModeShowsMainWindowAndSinglePicture) {
  std::string saver = Saver("Sea.scr", TwoPictures());
  host_.onForm = [&](SaverSettings& p) {
    ASSERT_NE(CurrentRun(), nullptr);
    host_.onSlideshow = [&](SaverSettings& single) {
      EXPECT_EQ(single.FileList.FileNames, std::vector<std::string>{p.FileList.FileNames[1]});
      EXPECT_EQ(single.FileList.Checked, std::vector<std::string>{"TRUE"});
      EXPECT_FALSE(single.Setting.Stretch);
      EXPECT_EQ(single.Setting.Speed, 80);
      EXPECT_TRUE(single.Setting.Sound);
      EXPECT_FALSE(single.Setting.Music);
      // No user file: the package's display settings are kept.
      EXPECT_TRUE(single.Setting.DirectX);
      EXPECT_EQ(single.Setting.DirectXQuality, 2);
    };
    CurrentRun()->ShowSinglePicture(p.FileList.FileNames[1]);
  };
  EXPECT_EQ(Run({"/c:1234"}, saver), 0);
  EXPECT_EQ(host_.calls, (Calls{"init", "defs:present", "form:MainWindow", "slideshow"}));
  EXPECT_EQ(CurrentRun(), nullptr);
  ExpectNoRunFolder();
}

TEST_F(RunModesTest, NoArgumentIsConfigMode) {
  std::string saver = Saver("Sea.scr", TwoPictures());
  EXPECT_EQ(Run({}, saver), 0);
  EXPECT_EQ(host_.calls, (Calls{"init", "defs:present", "form:MainWindow"}));
}

TEST_F(RunModesTest, PreviewModeDrawsThePreviewFileThenCleansUp) {
  std::string saver = Saver("Sea.scr", TwoPictures());
  EXPECT_EQ(Run({"/p", "1234"}, saver), 0);
  EXPECT_EQ(host_.calls, (Calls{"init", "defs:present", "preview:1234:present"}));
  ExpectNoRunFolder();

  host_.calls.clear();
  PackageParts noPreview = TwoPictures();
  noPreview.settings = "";
  EXPECT_EQ(Run({"/p", "1234"}, Saver("NoPreview.scr", noPreview)), 0);
  EXPECT_EQ(host_.calls, (Calls{"init", "defs:present"}));
  ExpectNoRunFolder();
}

TEST_F(RunModesTest, AFileWithoutPackageIsNamed) {
  WriteBytes(savers_ / "plain", "no package here");
  EXPECT_EQ(Run({"/s"}, savers_ / "plain"), 0);
  ASSERT_EQ(host_.calls.size(), 2u);
  EXPECT_EQ(host_.calls[1].rfind("error:", 0), 0u);
  EXPECT_NE(host_.calls[1].find(savers_ / "plain"), std::string::npos);
  host_.calls.clear();
  EXPECT_EQ(Run({"/c", "--package", savers_ / "missing.scr"}, "/bin/true"), 0);
  ASSERT_EQ(host_.calls.size(), 2u);
  EXPECT_NE(host_.calls[1].find("missing.scr"), std::string::npos);
  ExpectNoRunFolder();
}

#ifdef VECSAVER_PATH
// The program itself, headless.
int RunProgram(const std::string& args, const std::string& tmp, std::string& errors) {
  std::string errFile = tmp + "stderr.txt";
  std::string cmd = "env TMPDIR=" + tmp + "run XDG_RUNTIME_DIR=" + tmp +
                    "xdg QT_QPA_PLATFORM=offscreen " VECSAVER_PATH " " + args + " 2>" + errFile +
                    " >/dev/null";
  int status = std::system(cmd.c_str());
  errors = testing::ReadBytes(errFile);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(RunModesTest, ProgramHoldsNoPackageMarker) {
  const ErrorOr<MarkerLocation> marker = FindMarker(VECSAVER_PATH);
  ASSERT_TRUE(marker.is_error());
  EXPECT_EQ(marker.error().code, ErrorCode::NoMarker);
}

TEST_F(RunModesTest, ProgramModesExitZero) {
  ASSERT_EQ(mkdir((tmp_ / "run").c_str(), 0700), 0);
  ASSERT_EQ(mkdir((tmp_ / "xdg").c_str(), 0700), 0);
  std::string empty = Saver("Empty.scr", PackageParts{});
  std::string errors;
  EXPECT_EQ(RunProgram("--package " + empty + " /s", tmp_.path(), errors), 0);
  EXPECT_NE(errors.find("This screensaver does not contain any image."), std::string::npos);
  EXPECT_EQ(RunProgram("/a 1234", tmp_.path(), errors), 0);
  EXPECT_EQ(RunProgram("SX", tmp_.path(), errors), 0);
  EXPECT_EQ(RunProgram("/s", tmp_.path(), errors), 0);
  EXPECT_NE(errors.find("does not contain a screensaver package"), std::string::npos);
  EXPECT_EQ(ListDir(tmp_ / "run"), std::vector<std::string>{});
}

// A bare package installed through the program gets the program in front of it, so the
// installed copy runs by itself; the programs line names that copy; uninstalling empties the
// home again. The install needs no display: QT_QPA_PLATFORM is not set here.
TEST_F(RunModesTest, ProgramInstallsAndUninstallsInItsHome) {
  PackageParts parts;
  parts.prefix = "";
  parts.settings = "[General]\r\nProductName=Harbour\r\n";
  std::string pkg = Saver("Harbour.pkg", parts);
  ASSERT_EQ(mkdir((tmp_ / "home").c_str(), 0700), 0);
  const std::string home = tmp_ / "home";
  auto run = [&](const std::string& args) {
    std::string cmd = "env -u XDG_DATA_HOME -u DISPLAY HOME=" + home + " " VECSAVER_PATH " " +
                      args + " >" + tmp_ / "out.txt" + " 2>&1";
    int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  ASSERT_EQ(run("--package " + pkg + " --install --for xscreensaver"), 0)
      << testing::ReadBytes(tmp_ / "out.txt");
  const std::string installed = home + "/.local/share/vecsaver/savers/Harbour.pkg";
  EXPECT_EQ(testing::ReadBytes(installed),
            testing::ReadBytes(VECSAVER_PATH) + testing::ReadBytes(pkg));
  EXPECT_NE(
      testing::ReadBytes(home + "/.xscreensaver").find("\"Harbour\"  " + installed + " -root \\n"),
      std::string::npos);
  EXPECT_EQ(run("--list"), 0);
  EXPECT_NE(testing::ReadBytes(tmp_ / "out.txt").find(installed), std::string::npos);
  EXPECT_EQ(run("--install --for gnome --package " + pkg), 2);
  ASSERT_EQ(run("--package " + installed + " --uninstall"), 0)
      << testing::ReadBytes(tmp_ / "out.txt");
  EXPECT_EQ(ListDir(home), std::vector<std::string>{});
}
#endif

}  // namespace
}  // namespace vec
