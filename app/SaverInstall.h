#pragma once
// Installing a saver for the screen-saver daemons and undoing it. A saver is copied into a
// savers folder; then, for each daemon asked for, XScreenSaver gets a "programs:" entry in
// ~/.xscreensaver, MATE a desktop entry under applications/screensavers/ and (system-wide
// only) a link in the folder of programs mate-screensaver runs, and xsecurelock the line to
// set. Everything written is noted in a small manifest, so uninstalling removes exactly that.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vec {

enum class Daemon { XScreenSaver, XSecureLock, Mate };

// "xscreensaver", "xsecurelock", "mate" or "all", several joined by commas; nullopt when a
// name is unknown.
std::optional<std::vector<Daemon>> ParseDaemons(std::string_view text);

// Where installing writes. FromEnvironment() reads HOME and XDG_DATA_HOME; tests point every
// folder into a temporary one.
struct InstallRoots {
  std::string home;      // holds .xscreensaver
  std::string dataHome;  // $XDG_DATA_HOME, else ~/.local/share
  std::string systemSavers = "/usr/local/lib/vecsaver/savers";
  std::string systemApplications = "/usr/local/share/applications";
  std::string mateHackFolder = "/usr/lib/mate-screensaver/mate-screensaver";

  static InstallRoots FromEnvironment();
  std::string SaversFolder(bool system) const;
  std::string ManifestFolder() const;
  std::string DesktopFolder(bool system) const;  // .../applications/screensavers
  std::string XScreenSaverFile() const;          // ~/.xscreensaver
};

// The file name a saver is installed under: its own file name with every character other
// than letters, digits, '.', '_', '+' and '-' turned into '_' (the name then needs no quoting
// in a shell command, a desktop entry or an environment line).
std::string InstalledName(std::string_view saverPath);

struct InstallRequest {
  std::string saverFile;    // the file that holds the package (a saver, or a bare package)
  std::string runtimeFile;  // the file that holds the runtime program (may be saverFile)
  std::vector<Daemon> daemons;
  bool system = false;
};

// What a step did, for the user: one line each; `ok` false when something failed.
struct InstallOutcome {
  bool ok = true;
  std::vector<std::string> lines;
};

InstallOutcome InstallSaver(const InstallRequest& request, const InstallRoots& roots);
// `saver` is a saver's path or its installed name.
InstallOutcome UninstallSaver(std::string_view saver, const InstallRoots& roots);

struct InstalledSaver {
  std::string name;         // installed file name
  std::string productName;  // the saver's ProductName, UTF-8
  std::string path;         // the installed copy
  std::vector<std::string> daemons;
};
std::vector<InstalledSaver> ListInstalled(const InstallRoots& roots);

// The saver's ProductName (UTF-8); nullopt when the file holds no package.
std::optional<std::string> ReadProductName(const std::string& saverFile);

// The desktop entry that makes mate-screensaver offer the saver run as `program`.
std::string MateDesktopEntry(std::string_view productName, std::string_view program);

}  // namespace vec
