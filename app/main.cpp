// vecsaver: the screen-saver runtime. A saver is this program with a package appended, or
// this program started with --package FILE.

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/InstallCommand.h"
#include "app/QtRunModeHost.h"
#include "app/RunModes.h"
#include "base/AllocatorTuning.h"
#include "base/FrameThreads.h"
#include "package/RuntimeFolder.h"
#include "platform/SessionBus.h"
#include "platform/X11Window.h"

namespace {

// The executable as the system knows it (argv[0] may be relative or a link name).
std::string ExecutablePath(const char* argv0) {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n > 0) return std::string(buf, static_cast<size_t>(n));
  return argv0 ? argv0 : "";
}

}  // namespace

int main(int argc, char** argv) {
  vec::KeepFreedMemoryForReuse();
  std::vector<std::string> args(argv + 1, argv + argc);
  vec::CommandLine cl = vec::ParseCommandLine(args);
  if (const auto cap = vec::ChooseThreadCap(cl, std::getenv("VECSAVER_THREADS"), cl.warnings))
    vec::SetFrameThreadCap(*cap);
  for (const auto& w : cl.warnings) std::cerr << "vecsaver: " << w << "\n";
  const std::string exePath = ExecutablePath(argc > 0 ? argv[0] : nullptr);
  // Installing needs no window: it runs before the application object is made.
  if (cl.installAction != vec::InstallAction::None) {
    vec::InstallOptions options;
    options.action = cl.installAction;
    options.forDaemons = cl.installFor;
    options.system = cl.installSystem;
    options.saverFile = cl.packageFile ? *cl.packageFile : exePath;
    options.runtimeFile = exePath;
    return vec::RunInstallAction(options, vec::InstallRoots::FromEnvironment(), std::cout,
                                 std::cerr);
  }
  // Every mode but the password change opens windows. Without a display the toolkit would
  // abort the process; say why in one line and end instead.
  if (!vec::IsPasswordMode(cl.modeCode)) {
    if (const std::string why = vec::MissingDisplayReason(); !why.empty()) {
      std::cerr << "vecsaver: no display: " << why << "\n";
      return 1;
    }
  }
  vec::DisableSessionBusAutolaunch();
  // Made before the toolkit starts and removed after it has gone.
  const vec::PrivateRuntimeFolder runtime("vecsaver-runtime");
  vec::QtRunModeHost host(argc, argv, cl.modeWord);
  return vec::RunFromCommandLine(args, host, exePath, std::getenv("XSCREENSAVER_WINDOW"));
}
