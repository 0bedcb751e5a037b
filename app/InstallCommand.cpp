#include "app/InstallCommand.h"

#include <ostream>

namespace vec {
namespace {

int Print(const InstallOutcome& outcome, std::ostream& out, std::ostream& err) {
  for (const std::string& line : outcome.lines) (outcome.ok ? out : err) << line << "\n";
  return outcome.ok ? 0 : 1;
}

}  // namespace

int RunInstallAction(const InstallOptions& options, const InstallRoots& roots, std::ostream& out,
                     std::ostream& err) {
  switch (options.action) {
    case InstallAction::None:
      return 0;
    case InstallAction::List: {
      auto savers = ListInstalled(roots);
      if (savers.empty()) out << "no savers are installed\n";
      for (const InstalledSaver& s : savers) {
        out << s.name << "\t\"" << s.productName << "\"\t" << s.path << "\t";
        for (size_t i = 0; i < s.daemons.size(); ++i) out << (i ? "," : "") << s.daemons[i];
        out << "\n";
      }
      return 0;
    }
    case InstallAction::Uninstall:
      if (options.saverFile.empty()) {
        err << "uninstall: which saver?\n";
        return 2;
      }
      return Print(UninstallSaver(options.saverFile, roots), out, err);
    case InstallAction::Install: {
      auto daemons = ParseDaemons(options.forDaemons);
      if (!daemons) {
        err << "--for takes xscreensaver, xsecurelock, mate or all (not \"" << options.forDaemons
            << "\")\n";
        return 2;
      }
      if (options.saverFile.empty()) {
        err << "install: which saver?\n";
        return 2;
      }
      InstallRequest request{options.saverFile,
                             options.runtimeFile.empty() ? options.saverFile : options.runtimeFile,
                             *daemons, options.system};
      return Print(InstallSaver(request, roots), out, err);
    }
  }
  return 0;
}

}  // namespace vec
