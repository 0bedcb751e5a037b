#include "app/SaverInstall.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <utility>

#include "app/XScreenSaverPrograms.h"
#include "base/TextEncoding.h"
#include "package/Container.h"
#include "package/FileUtil.h"
#include "package/Folders.h"
#include "package/SaverSettings.h"

namespace vec {
namespace {

constexpr std::string_view kManifestSuffix = ".manifest";

std::string Join(std::string_view folder, std::string_view name) {
  std::string out(folder);
  if (out.empty() || out.back() != '/') out += '/';
  out += name;
  return out;
}

std::string ParentOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos || slash == 0) return "/";
  return path.substr(0, slash);
}

// The manifest: "Key=Value" lines, the value taken verbatim (it may begin with blanks).
class Manifest {
 public:
  static Manifest Load(const std::string& path) {
    Manifest m;
    std::string text;
    if (!ReadSmallFile(path, text, 1u << 20)) return m;
    m.loaded_ = true;
    size_t start = 0;
    while (start < text.size()) {
      size_t nl = text.find('\n', start);
      if (nl == std::string::npos) nl = text.size();
      std::string_view line(text.data() + start, nl - start);
      size_t eq = line.find('=');
      if (eq != std::string_view::npos)
        m.items_.emplace_back(std::string(line.substr(0, eq)), std::string(line.substr(eq + 1)));
      start = nl + 1;
    }
    return m;
  }
  bool Loaded() const { return loaded_; }
  std::string Get(std::string_view key) const {
    for (const auto& [k, v] : items_)
      if (k == key) return v;
    return {};
  }
  std::vector<std::string> All(std::string_view key) const {
    std::vector<std::string> out;
    for (const auto& [k, v] : items_)
      if (k == key) out.push_back(v);
    return out;
  }
  void Set(std::string_view key, std::string value) {
    for (auto& [k, v] : items_) {
      if (k == key) {
        v = std::move(value);
        return;
      }
    }
    items_.emplace_back(std::string(key), std::move(value));
  }
  void Add(std::string_view key, std::string value) {
    items_.emplace_back(std::string(key), std::move(value));
  }
  std::string Text() const {
    std::string out;
    for (const auto& [k, v] : items_) out += k + "=" + v + "\n";
    return out;
  }

 private:
  bool loaded_ = false;
  std::vector<std::pair<std::string, std::string>> items_;
};

// Creates `path` and any missing folders above it (mode 0755), noting each one it made.
bool MakeFolders(const std::string& path, std::vector<std::string>& created) {
  if (IsDirectory(path)) return true;
  if (path.empty() || path == "/") return false;
  if (!MakeFolders(ParentOf(path), created)) return false;
  if (mkdir(path.c_str(), 0755) != 0 && !IsDirectory(path)) return false;
  created.push_back(path);
  return true;
}

// Writes `text` beside `path` and renames it over `path`, so a reader never sees half a file.
bool ReplaceFile(const std::string& path, std::string_view text, mode_t mode) {
  const std::string part = path + ".vecsaver-part";
  unlink(part.c_str());
  UniqueFd fd(CreateFileExclusive(part, mode));
  bool ok = fd && WriteFull(fd.get(), text.data(), text.size()) && fchmod(fd.get(), mode) == 0;
  fd = UniqueFd();
  ok = ok && rename(part.c_str(), path.c_str()) == 0;
  if (!ok) unlink(part.c_str());
  return ok;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {
  }, sb{};
  return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

uint64_t FileSize(int fd) {
  struct stat st {};
  return fstat(fd, &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
}

// The installed saver: the runtime program (the runtime file up to its own package, if it
// has one) followed by the package of the saver file.
Status WriteSaverCopy(const InstallRequest& request, const std::string& dest) {
  const ErrorOr<MarkerLocation> package = FindMarker(request.saverFile);
  if (package.is_error())
    return Error::Make(ErrorCode::NoMarker, request.saverFile + " holds no saver package");
  UniqueFd runtime(open(request.runtimeFile.c_str(), O_RDONLY | O_CLOEXEC));
  UniqueFd saver(open(request.saverFile.c_str(), O_RDONLY | O_CLOEXEC));
  if (!runtime || !saver)
    return Error::Make(ErrorCode::OpenFailed,
                       "cannot read " + (runtime ? request.saverFile : request.runtimeFile));
  ErrorOr<MarkerLocation> own = FindMarkerFd(runtime.get());
  const uint64_t runtimeSize = own.ok() ? own->offset - kMarkerSize : FileSize(runtime.get());
  char magic[4] = {};
  if (runtimeSize < sizeof magic || !PreadFull(runtime.get(), magic, sizeof magic, 0) ||
      std::string_view(magic, 4) !=
          "\x7f"
          "ELF")
    return Error::Make(ErrorCode::BadMagic, request.runtimeFile + " is not the vecsaver program");
  const uint64_t packageStart = package->offset - kMarkerSize;
  const uint64_t packageSize = FileSize(saver.get()) - packageStart;

  const std::string part = dest + ".vecsaver-part";
  unlink(part.c_str());
  UniqueFd out(CreateFileExclusive(part, 0755));
  bool ok = out && CopyRange(runtime.get(), 0, out.get(), runtimeSize) == runtimeSize &&
            CopyRange(saver.get(), packageStart, out.get(), packageSize) == packageSize &&
            fchmod(out.get(), 0755) == 0;
  out = UniqueFd();
  ok = ok && rename(part.c_str(), dest.c_str()) == 0;
  if (!ok) {
    unlink(part.c_str());
    return Error::Make(ErrorCode::WriteFailed, "cannot write " + dest);
  }
  return {};
}

// The product name as an XScreenSaver label: no quote, backslash or control character.
std::string ProgramLabel(std::string_view productName) {
  std::string out;
  for (char c : productName) {
    if (c == '"')
      out += '\'';
    else if (c == '\\')
      out += '/';
    else if (static_cast<unsigned char>(c) < 0x20)
      out += ' ';
    else
      out += c;
  }
  return out;
}

// A desktop entry string value: backslashes doubled, line breaks and tabs escaped.
std::string DesktopValue(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\\')
      out += "\\\\";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\t')
      out += "\\t";
    else if (c == '\r')
      out += "\\r";
    else
      out += c;
  }
  return out;
}

std::string StemOf(const std::string& name) {
  size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

void InstallForXScreenSaver(const std::string& saverPath, const std::string& label,
                            const InstallRoots& roots, Manifest& manifest, InstallOutcome& out) {
  const std::string file = roots.XScreenSaverFile();
  std::string text;
  const bool exists = FileExists(file);
  if (exists && !ReadSmallFile(file, text)) {
    out.ok = false;
    out.lines.push_back("XScreenSaver: cannot read " + file);
    return;
  }
  XScreenSaverFile config(exists ? text : DefaultXScreenSaverText());
  if (config.ListsProgram(saverPath)) {
    out.lines.push_back("XScreenSaver: " + file + " already runs " + saverPath);
    return;
  }
  ProgramsEdit edit = config.AddProgram("\"" + label + "\"  " + saverPath + " -root");
  struct stat st {};
  const mode_t mode = exists && stat(file.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
  if (exists && !WriteFileNoFollow(file + ".bak", text)) {
    out.ok = false;
    out.lines.push_back("XScreenSaver: cannot write the backup " + file + ".bak; " + file +
                        " is unchanged");
    return;
  }
  if (!ReplaceFile(file, config.Text(), mode)) {
    out.ok = false;
    out.lines.push_back("XScreenSaver: cannot write " + file);
    return;
  }
  manifest.Set("XScreenSaver.File", file);
  manifest.Set("XScreenSaver.Program", saverPath);
  manifest.Set("XScreenSaver.AddedLine", edit.addedLine);
  manifest.Set("XScreenSaver.LineBefore", edit.lineBefore);
  manifest.Set("XScreenSaver.LineAfter", edit.lineAfter);
  manifest.Set("XScreenSaver.AddedResource", edit.addedResource ? "1" : "0");
  manifest.Set("XScreenSaver.AddedFinalNewline", edit.addedFinalNewline ? "1" : "0");
  manifest.Set("XScreenSaver.CreatedFile", exists ? "0" : "1");
  if (exists)
    out.lines.push_back("XScreenSaver: added \"" + label + "\" to the programs of " + file +
                        " (the former file is in " + file + ".bak)");
  else
    out.lines.push_back("XScreenSaver: wrote " + file + " running \"" + label + "\"");
}

void InstallForMate(const std::string& saverPath, const std::string& name,
                    const std::string& productName, bool system, const InstallRoots& roots,
                    Manifest& manifest, std::vector<std::string>& createdFolders,
                    InstallOutcome& out) {
  const std::string program = Join(roots.mateHackFolder, name);
  const std::string folder = roots.DesktopFolder(system);
  const std::string desktop = Join(folder, "vecsaver-" + StemOf(name) + ".desktop");
  if (FileExists(desktop) && manifest.Get("Mate.Desktop") != desktop) {
    out.ok = false;
    out.lines.push_back("MATE: " + desktop +
                        " exists and was not written by vecsaver; left as it is");
    return;
  }
  if (!MakeFolders(folder, createdFolders) ||
      !ReplaceFile(desktop, MateDesktopEntry(productName, program), 0644)) {
    out.ok = false;
    out.lines.push_back("MATE: cannot write " + desktop);
    return;
  }
  manifest.Set("Mate.Desktop", desktop);
  out.lines.push_back("MATE: wrote " + desktop);

  // mate-screensaver starts only programs in its own folder.
  char target[4096];
  ssize_t n = readlink(program.c_str(), target, sizeof target - 1);
  if (n > 0 && std::string_view(target, static_cast<size_t>(n)) == saverPath) {
    out.lines.push_back("MATE: " + program + " already links to " + saverPath);
    return;
  }
  if (!system) {
    out.lines.push_back("MATE: mate-screensaver runs only the programs in " + roots.mateHackFolder +
                        "; link the saver there (this needs root):");
    out.lines.push_back("  sudo ln -s " + saverPath + " " + program);
    return;
  }
  if (FileExists(program) || n > 0) {
    out.ok = false;
    out.lines.push_back("MATE: " + program + " exists and is not a link to " + saverPath +
                        "; left as it is");
    return;
  }
  if (symlink(saverPath.c_str(), program.c_str()) != 0) {
    out.ok = false;
    out.lines.push_back("MATE: cannot make the link " + program + " (run as root)");
    return;
  }
  manifest.Set("Mate.Link", program);
  out.lines.push_back("MATE: linked " + program + " to " + saverPath);
}

void UninstallXScreenSaver(const Manifest& manifest, InstallOutcome& out) {
  const std::string file = manifest.Get("XScreenSaver.File");
  std::string text;
  if (!ReadSmallFile(file, text)) {
    out.lines.push_back("XScreenSaver: " + file + " is gone; nothing to undo there");
    return;
  }
  ProgramsEdit edit;
  edit.addedLine = manifest.Get("XScreenSaver.AddedLine");
  edit.lineBefore = manifest.Get("XScreenSaver.LineBefore");
  edit.lineAfter = manifest.Get("XScreenSaver.LineAfter");
  edit.addedResource = manifest.Get("XScreenSaver.AddedResource") == "1";
  edit.addedFinalNewline = manifest.Get("XScreenSaver.AddedFinalNewline") == "1";
  XScreenSaverFile config(text);
  if (!config.RemoveProgram(edit, manifest.Get("XScreenSaver.Program"))) {
    out.lines.push_back("XScreenSaver: " + file + " no longer lists the saver");
    return;
  }
  const std::string after = config.Text();
  if (manifest.Get("XScreenSaver.CreatedFile") == "1" && after == DefaultXScreenSaverText()) {
    unlink(file.c_str());
    out.lines.push_back("XScreenSaver: removed " + file + " (vecsaver had made it)");
    return;
  }
  struct stat st {};
  const mode_t mode = stat(file.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
  if (!WriteFileNoFollow(file + ".bak", text) || !ReplaceFile(file, after, mode)) {
    out.ok = false;
    out.lines.push_back("XScreenSaver: cannot write " + file);
    return;
  }
  out.lines.push_back("XScreenSaver: removed the saver from " + file + " (the former file is in " +
                      file + ".bak)");
}

void RemoveIfLinkTo(const std::string& link, const std::string& target, InstallOutcome& out) {
  char buf[4096];
  ssize_t n = readlink(link.c_str(), buf, sizeof buf - 1);
  if (n > 0 && std::string_view(buf, static_cast<size_t>(n)) == target) {
    if (unlink(link.c_str()) == 0) {
      out.lines.push_back("MATE: removed the link " + link);
    } else {
      out.ok = false;
      out.lines.push_back("MATE: cannot remove the link " + link + " (run as root)");
    }
  }
}

std::string ManifestPath(const InstallRoots& roots, const std::string& name) {
  return Join(roots.ManifestFolder(), name + std::string(kManifestSuffix));
}

}  // namespace

std::optional<std::vector<Daemon>> ParseDaemons(std::string_view text) {
  std::vector<Daemon> out;
  auto add = [&](Daemon d) {
    if (std::find(out.begin(), out.end(), d) == out.end()) out.push_back(d);
  };
  size_t start = 0;
  while (start <= text.size()) {
    size_t comma = text.find(',', start);
    if (comma == std::string_view::npos) comma = text.size();
    std::string_view word = text.substr(start, comma - start);
    if (word == "xscreensaver") {
      add(Daemon::XScreenSaver);
    } else if (word == "xsecurelock") {
      add(Daemon::XSecureLock);
    } else if (word == "mate") {
      add(Daemon::Mate);
    } else if (word == "all") {
      add(Daemon::XScreenSaver);
      add(Daemon::XSecureLock);
      add(Daemon::Mate);
    } else {
      return std::nullopt;
    }
    start = comma + 1;
  }
  return out;
}

InstallRoots InstallRoots::FromEnvironment() {
  InstallRoots r;
  const char* home = std::getenv("HOME");
  r.home = home && *home ? home : "/";
  const char* data = std::getenv("XDG_DATA_HOME");
  // A relative XDG_DATA_HOME is not valid and is ignored, as desktop programs do.
  r.dataHome = data && *data == '/' ? std::string(data) : Join(r.home, ".local/share");
  return r;
}

std::string InstallRoots::SaversFolder(bool system) const {
  return system ? systemSavers : Join(dataHome, "vecsaver/savers");
}
std::string InstallRoots::ManifestFolder() const {
  return Join(dataHome, "vecsaver/installed");
}
std::string InstallRoots::DesktopFolder(bool system) const {
  return Join(system ? systemApplications : Join(dataHome, "applications"), "screensavers");
}
std::string InstallRoots::XScreenSaverFile() const {
  return Join(home, ".xscreensaver");
}

std::string InstalledName(std::string_view saverPath) {
  std::string_view name = saverPath.substr(saverPath.find_last_of('/') + 1);
  std::string out;
  for (char c : name) {
    const bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '.' || c == '_' || c == '+' || c == '-';
    out += keep ? c : '_';
  }
  if (out.empty() || out[0] == '.' || out[0] == '-') out.insert(0, "saver");
  return out;
}

std::optional<std::string> ReadProductName(const std::string& saverFile) {
  if (FindMarker(saverFile).is_error()) return std::nullopt;
  std::string folder = SystemTempPath() + "vecsaver-install-XXXXXX";
  if (!mkdtemp(folder.data())) return std::nullopt;
  const std::string record = folder + "/VEC.res";
  // The first record only: the settings container.
  [[maybe_unused]] const ErrorOr<ExtractResult> extracted = ExtractRecords(saverFile, {record});
  SaverSettings settings;
  LoadSettingsFile(settings, record);
  unlink(record.c_str());
  rmdir(folder.c_str());
  return Cp1252ToUtf8(settings.Setting.ProductName);
}

std::string MateDesktopEntry(std::string_view productName, std::string_view program) {
  std::string name = DesktopValue(productName);
  std::string entry = "[Desktop Entry]\n";
  entry += "Type=Application\n";
  entry += "Name=" + name + "\n";
  entry += "Comment=A picture screen saver\n";
  entry += "Exec=" + std::string(program) + "\n";
  entry += "TryExec=" + std::string(program) + "\n";
  entry += "StartupNotify=false\n";
  entry += "Terminal=false\n";
  entry += "Categories=Screensaver;\n";
  entry += "OnlyShowIn=MATE;\n";
  return entry;
}

InstallOutcome InstallSaver(const InstallRequest& request, const InstallRoots& roots) {
  InstallOutcome out;
  std::optional<std::string> product = ReadProductName(request.saverFile);
  if (!product) {
    out.ok = false;
    out.lines.push_back(request.saverFile + " holds no saver package");
    return out;
  }
  const std::string name = InstalledName(request.saverFile);
  const std::string label = ProgramLabel(product->empty() ? name : *product);
  const std::string folder = request.system ? roots.systemSavers : roots.SaversFolder(false);
  const std::string dest = Join(folder, name);
  const std::string manifestPath = ManifestPath(roots, name);

  // Installing again keeps what the earlier install noted and adds only what is missing.
  Manifest manifest = Manifest::Load(manifestPath);
  if (manifest.Loaded() && manifest.Get("Path") != dest) {
    out.ok = false;
    out.lines.push_back(name + " is installed already as " + manifest.Get("Path") +
                        "; uninstall it first");
    return out;
  }
  std::vector<std::string> created;
  if (!MakeFolders(folder, created) || !MakeFolders(roots.ManifestFolder(), created)) {
    out.ok = false;
    out.lines.push_back("cannot create " + folder +
                        (request.system ? " (installing for every user needs root)" : ""));
    return out;
  }
  if (SameFile(request.saverFile, dest) && SameFile(request.runtimeFile, dest)) {
    out.lines.push_back("the saver is already in " + dest);
  } else {
    if (const Status copied = WriteSaverCopy(request, dest); !copied) {
      out.ok = false;
      out.lines.push_back(copied.error().message);
      for (auto it = created.rbegin(); it != created.rend(); ++it) rmdir(it->c_str());
      return out;
    }
    out.lines.push_back("copied the saver to " + dest);
  }
  manifest.Set("Name", name);
  manifest.Set("Product", *product);
  manifest.Set("Path", dest);
  manifest.Set("System", request.system ? "1" : "0");

  for (Daemon d : request.daemons) {
    switch (d) {
      case Daemon::XScreenSaver:
        InstallForXScreenSaver(dest, label, roots, manifest, out);
        break;
      case Daemon::Mate:
        InstallForMate(dest, name, product->empty() ? name : *product, request.system, roots,
                       manifest, created, out);
        break;
      case Daemon::XSecureLock:
        manifest.Set("XSecureLock", "1");
        out.lines.push_back("xsecurelock: start it with the saver named in its environment:");
        out.lines.push_back("  XSECURELOCK_SAVER=" + dest + " xsecurelock");
        break;
    }
  }
  for (const std::string& f : created) manifest.Add("CreatedFolder", f);
  if (!WriteFileNoFollow(manifestPath, manifest.Text())) {
    out.ok = false;
    out.lines.push_back("cannot write " + manifestPath +
                        "; uninstalling will not know this install");
  }
  return out;
}

InstallOutcome UninstallSaver(std::string_view saver, const InstallRoots& roots) {
  InstallOutcome out;
  const std::string name = InstalledName(saver);
  const std::string manifestPath = ManifestPath(roots, name);
  Manifest manifest = Manifest::Load(manifestPath);
  if (!manifest.Loaded()) {
    out.ok = false;
    out.lines.push_back(name + " is not installed (no " + manifestPath + ")");
    return out;
  }
  const std::string path = manifest.Get("Path");
  if (!manifest.Get("XScreenSaver.File").empty()) UninstallXScreenSaver(manifest, out);
  if (const std::string desktop = manifest.Get("Mate.Desktop"); !desktop.empty()) {
    if (unlink(desktop.c_str()) == 0)
      out.lines.push_back("MATE: removed " + desktop);
    else if (FileExists(desktop))
      out.ok = false, out.lines.push_back("MATE: cannot remove " + desktop);
  }
  if (const std::string link = manifest.Get("Mate.Link"); !link.empty())
    RemoveIfLinkTo(link, path, out);
  else if (!manifest.Get("Mate.Desktop").empty())
    RemoveIfLinkTo(Join(roots.mateHackFolder, name), path, out);
  if (manifest.Get("XSecureLock") == "1")
    out.lines.push_back("xsecurelock: take XSECURELOCK_SAVER=" + path + " out of where you set it");
  if (unlink(path.c_str()) == 0) {
    out.lines.push_back("removed " + path);
  } else if (FileExists(path)) {
    out.ok = false;
    out.lines.push_back("cannot remove " + path +
                        (manifest.Get("System") == "1" ? " (run as root)" : ""));
  }
  if (!out.ok) return out;  // the manifest stays, so the rest can be undone later
  unlink(manifestPath.c_str());
  // The folders this install made, deepest first, and vecsaver's own folders, when empty.
  std::vector<std::string> folders = manifest.All("CreatedFolder");
  std::reverse(folders.begin(), folders.end());
  folders.push_back(roots.ManifestFolder());
  folders.push_back(ParentOf(path));
  for (const std::string& f : folders) rmdir(f.c_str());
  return out;
}

std::vector<InstalledSaver> ListInstalled(const InstallRoots& roots) {
  std::vector<InstalledSaver> out;
  const std::string folder = roots.ManifestFolder();
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
  if (!dir) return out;
  while (dirent* e = readdir(dir.get())) {
    std::string_view file = e->d_name;
    if (file.size() <= kManifestSuffix.size() ||
        file.substr(file.size() - kManifestSuffix.size()) != kManifestSuffix)
      continue;
    Manifest m = Manifest::Load(Join(folder, file));
    InstalledSaver s{m.Get("Name"), m.Get("Product"), m.Get("Path"), {}};
    if (!m.Get("XScreenSaver.File").empty()) s.daemons.push_back("xscreensaver");
    if (m.Get("XSecureLock") == "1") s.daemons.push_back("xsecurelock");
    if (!m.Get("Mate.Desktop").empty()) s.daemons.push_back("mate");
    out.push_back(std::move(s));
  }
  std::sort(out.begin(), out.end(),
            [](const InstalledSaver& a, const InstalledSaver& b) { return a.name < b.name; });
  return out;
}

}  // namespace vec
