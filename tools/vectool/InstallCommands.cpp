// vectool install: the saver install actions of vecsaver (--install, --uninstall, --list) for
// any saver file, including a bare package or a saver made on Windows, which get the vecsaver
// program put in front of their package.

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <iostream>

#include "app/InstallCommand.h"
#include "package/FileUtil.h"
#include "tools/vectool/Command.h"

namespace vectool {
namespace {

bool StartsAsProgram(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  char magic[4] = {};
  return in.read(magic, 4) && std::string_view(magic, 4) ==
                                  "\x7f"
                                  "ELF";
}

// The vecsaver program: beside vectool, else on the PATH.
std::string FindRuntime() {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n > 0) {
    std::string self(buf, static_cast<size_t>(n));
    std::string beside = self.substr(0, self.find_last_of('/') + 1) + "vecsaver";
    if (vec::IsRegularFile(beside)) return beside;
  }
  const char* path = std::getenv("PATH");
  std::string_view dirs = path ? path : "";
  while (!dirs.empty()) {
    size_t colon = dirs.find(':');
    std::string dir(dirs.substr(0, colon));
    dirs = colon == std::string_view::npos ? std::string_view() : dirs.substr(colon + 1);
    if (dir.empty()) continue;
    std::string candidate = dir + "/vecsaver";
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

int RunInstall(const Args& args) {
  vec::InstallOptions options;
  options.action = Flag(args, "--list")        ? vec::InstallAction::List
                   : Flag(args, "--uninstall") ? vec::InstallAction::Uninstall
                                               : vec::InstallAction::Install;
  if (auto d = Option(args, "--for")) options.forDaemons = *d;
  options.system = Flag(args, "--system");
  auto pos = Positionals(args, {"--for", "--runtime"});
  if (options.action != vec::InstallAction::List) {
    if (pos.size() != 1) {
      std::cerr << "usage: vectool install SAVER [--for DAEMONS] [--system] [--runtime VECSAVER]"
                   " | install --uninstall SAVER | install --list\n";
      return 2;
    }
    options.saverFile = pos[0];
  }
  if (options.action == vec::InstallAction::Install) {
    if (auto r = Option(args, "--runtime"))
      options.runtimeFile = *r;
    else if (StartsAsProgram(options.saverFile))
      options.runtimeFile = options.saverFile;
    else
      options.runtimeFile = FindRuntime();
    if (options.runtimeFile.empty())
      return Fail(options.saverFile +
                  " holds no vecsaver program and none was found; name one with --runtime");
  }
  return vec::RunInstallAction(options, vec::InstallRoots::FromEnvironment(), std::cout, std::cerr);
}

const Registration kInstall{
    {"install",
     "install SAVER [--for xscreensaver|xsecurelock|mate|all] [--system] [--runtime VECSAVER] | "
     "install --uninstall SAVER | install --list   install a saver for the screen-saver daemons",
     RunInstall}};

}  // namespace
}  // namespace vectool
