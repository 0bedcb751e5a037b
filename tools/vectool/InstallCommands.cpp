// vectool install: the saver install actions of vecsaver (--install, --uninstall, --list) for
// any saver file, including a bare package or a saver made on Windows, which get the vecsaver
// program put in front of their package.

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>

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

struct InstallArguments {
  bool list = false;
  bool uninstall = false;
  std::string forDaemons = "all";
  bool system = false;
  std::string runtime;
  std::string saver;
};

int RunInstall(const InstallArguments& a) {
  vec::InstallOptions options;
  options.action = a.list        ? vec::InstallAction::List
                   : a.uninstall ? vec::InstallAction::Uninstall
                                 : vec::InstallAction::Install;
  options.forDaemons = a.forDaemons;
  options.system = a.system;
  if (options.action != vec::InstallAction::List) {
    if (a.saver.empty()) {
      std::cerr << "usage: vectool install SAVER [--for DAEMONS] [--system] [--runtime VECSAVER]"
                   " | install --uninstall SAVER | install --list\n";
      return kUsage;
    }
    options.saverFile = a.saver;
  }
  if (options.action == vec::InstallAction::Install) {
    if (!a.runtime.empty())
      options.runtimeFile = a.runtime;
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

}  // namespace

void AddInstallCommand(Commands& commands) {
  auto a = std::make_shared<InstallArguments>();
  CLI::App& install = commands.Add(
      "install",
      "install a saver for the screen-saver daemons (or --uninstall it, or --list the installed)",
      [a] { return RunInstall(*a); }, kUsage);
  install.add_option("SAVER", a->saver, "the saver file, or the installed name to uninstall");
  CLI::Option* list = install.add_flag("--list", a->list, "list the installed savers");
  CLI::Option* uninstall =
      install.add_flag("--uninstall", a->uninstall, "remove an installed saver");
  install.add_option("--for", a->forDaemons, "the daemons: xscreensaver, xsecurelock, mate or all");
  install.add_flag("--system", a->system, "install for every user");
  install.add_option("--runtime", a->runtime,
                     "the vecsaver program to put in front of a saver that holds none");
  list->excludes(uninstall);
}

}  // namespace vectool
