// vectool install run as a program: the same install as vecsaver --install, for savers that
// hold no runtime (a bare package, or a saver made on Windows) given one with --runtime.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>

#include "tests/package/PackageTestUtil.h"

namespace vec {
namespace {

using testing::BuildPackage;
using testing::PackageParts;
using testing::ReadBytes;
using testing::ScratchDir;
using testing::WriteBytes;

int VectoolIn(const ScratchDir& dir, const std::string& args) {
  std::string cmd = "env -u XDG_DATA_HOME HOME=" + dir / "home" + " " VECTOOL_PATH " " + args +
                    " >" + dir / "out.txt" + " 2>&1";
  int status = std::system(cmd.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(InstallTool, WindowsSaverGetsTheRuntimeAndUninstallsCleanly) {
  ScratchDir dir;
  ASSERT_EQ(mkdir((dir / "home").c_str(), 0700), 0);
  PackageParts parts;
  parts.prefix = "MZ a Windows program";
  parts.settings = "[General]\r\nProductName=Pier\r\n";
  WriteBytes(dir / "Pier Night.SCR", BuildPackage(parts));
  const std::string runtime =
      "\x7f"
      "ELF the runtime";
  WriteBytes(dir / "vecsaver", runtime);

  // Without a runtime the Windows program part is refused rather than copied.
  EXPECT_NE(VectoolIn(dir, "install '" + dir / "Pier Night.SCR" + "' --runtime " + dir / "none"),
            0);
  ASSERT_EQ(VectoolIn(dir, "install '" + dir / "Pier Night.SCR" +
                               "' --for xscreensaver --runtime " + dir / "vecsaver"),
            0)
      << ReadBytes(dir / "out.txt");
  const std::string installed = dir / "home/.local/share/vecsaver/savers/Pier_Night.SCR";
  parts.prefix = runtime;
  EXPECT_EQ(ReadBytes(installed), BuildPackage(parts));
  EXPECT_NE(ReadBytes(dir / "home/.xscreensaver").find("\"Pier\"  " + installed + " -root"),
            std::string::npos);
  ASSERT_EQ(VectoolIn(dir, "install --list"), 0);
  EXPECT_NE(ReadBytes(dir / "out.txt").find("Pier_Night.SCR\t\"Pier\""), std::string::npos)
      << ReadBytes(dir / "out.txt");
  ASSERT_EQ(VectoolIn(dir, "install --uninstall Pier_Night.SCR"), 0) << ReadBytes(dir / "out.txt");
  EXPECT_EQ(testing::ListDir(dir / "home"), std::vector<std::string>{});
}

}  // namespace
}  // namespace vec
