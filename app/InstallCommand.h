#pragma once
// The install actions as both programs offer them: "vecsaver --install|--uninstall|--list"
// on a saver and "vectool install ...". They print what they did and return the exit code.

#include <iosfwd>
#include <string>

#include "app/SaverInstall.h"

namespace vec {

enum class InstallAction { None, Install, Uninstall, List };

struct InstallOptions {
  InstallAction action = InstallAction::None;
  std::string forDaemons = "all";  // --for
  bool system = false;             // --system
  std::string saverFile;           // the saver (or bare package) to install or uninstall
  std::string runtimeFile;         // the vecsaver program to put in front of a bare package
};

// Exit codes: 0 done, 1 a step failed, 2 the options are wrong.
int RunInstallAction(const InstallOptions& options, const InstallRoots& roots, std::ostream& out,
                     std::ostream& err);

}  // namespace vec
