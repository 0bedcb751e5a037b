#include "configui/Wallpaper.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "base/Ini.h"
#include "graphics/Bmp.h"
#include "package/AtomicFile.h"
#include "package/FileUtil.h"
#include "package/Folders.h"

extern char** environ;

namespace vec {
namespace {

using Command = std::vector<std::string>;

// A desktop program that does not answer within this time is given up on.
constexpr auto kProgramTimeout = std::chrono::seconds(15);

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* v = getenv(name);
  return v && *v ? std::string(v) : fallback;
}

struct ProgramResult {
  bool ok = false;  // started and exited with status 0
  std::string output;
};

// Runs a program found on PATH with exactly these arguments (no shell), its input empty,
// its standard output collected.
ProgramResult RunProgram(const Command& command) {
  ProgramResult result;
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) return result;
  UniqueFd readEnd(pipeFds[0]);
  UniqueFd writeEnd(pipeFds[1]);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, writeEnd.get(), 1);
  std::vector<char*> argv;
  for (const std::string& a : command) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  writeEnd = UniqueFd();
  if (spawned != 0) return result;

  const auto deadline = std::chrono::steady_clock::now() + kProgramTimeout;
  bool timedOut = false;
  char buffer[4096];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      timedOut = true;
      break;
    }
    pollfd p{readEnd.get(), POLLIN, 0};
    const int ready = poll(&p, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) continue;
    const ssize_t n = read(readEnd.get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    result.output.append(buffer, static_cast<size_t>(n));
  }
  if (timedOut) kill(pid, SIGKILL);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  result.ok = !timedOut && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return result;
}

// Whether an executable of this name lies in a folder of PATH.
bool OnPath(const std::string& name) {
  const std::string path = EnvOr("PATH", "/usr/local/bin:/usr/bin:/bin");
  const std::string_view folders(path);
  size_t start = 0;
  while (start <= folders.size()) {
    size_t colon = folders.find(':', start);
    if (colon == std::string_view::npos) colon = folders.size();
    const std::string_view folder = folders.substr(start, colon - start);
    std::string candidate(folder.empty() ? std::string_view(".") : folder);
    candidate += '/';
    candidate += name;
    if (access(candidate.c_str(), X_OK) == 0) return true;
    start = colon + 1;
  }
  return false;
}

class Runner {
 public:
  explicit Runner(WallpaperReport& report) : report_(report) {}
  ProgramResult Run(Command command) {
    ProgramResult r = RunProgram(command);
    report_.commands.push_back(std::move(command));
    return r;
  }

 private:
  WallpaperReport& report_;
};

// GNOME and Cinnamon: the address and centred placement. The dark-style address is set too
// but its failure does not count: desktops before it existed lack the key.
bool TellGSettingsUri(Runner& run, const std::string& schema, const std::string& file) {
  const std::string uri = FileUri(file);
  bool ok = run.Run({"gsettings", "set", schema, "picture-uri", uri}).ok;
  run.Run({"gsettings", "set", schema, "picture-uri-dark", uri});
  ok = run.Run({"gsettings", "set", schema, "picture-options", "centered"}).ok && ok;
  return ok;
}

bool TellMate(Runner& run, const std::string& file) {
  bool ok = run.Run({"gsettings", "set", "org.mate.background", "picture-filename", file}).ok;
  ok = run.Run({"gsettings", "set", "org.mate.background", "picture-options", "centered"}).ok && ok;
  return ok;
}

// XFCE keeps one image per monitor and workspace: every ".../last-image" property under
// "/backdrop/" gets the file, and its sibling "image-style" 1 (centred), created when absent.
bool TellXfce(Runner& run, const std::string& file) {
  const std::string channel = "xfce4-desktop";
  ProgramResult list = run.Run({"xfconf-query", "-c", channel, "-l"});
  if (!list.ok) return false;
  std::vector<std::string> properties;
  size_t start = 0;
  while (start < list.output.size()) {
    size_t nl = list.output.find('\n', start);
    if (nl == std::string::npos) nl = list.output.size();
    properties.emplace_back(TrimBlanks(std::string_view(list.output).substr(start, nl - start)));
    start = nl + 1;
  }
  auto listed = [&](const std::string& p) {
    for (const std::string& q : properties)
      if (q == p) return true;
    return false;
  };
  constexpr std::string_view kImage = "/last-image";
  bool any = false, ok = true;
  for (const std::string& p : properties) {
    if (!p.starts_with("/backdrop/") || !p.ends_with(kImage)) continue;
    any = true;
    ok = run.Run({"xfconf-query", "-c", channel, "-p", p, "-s", file}).ok && ok;
    const std::string style = p.substr(0, p.size() - kImage.size()) + "/image-style";
    if (listed(style))
      ok = run.Run({"xfconf-query", "-c", channel, "-p", style, "-s", "1"}).ok && ok;
    else
      ok = run.Run({"xfconf-query", "-c", channel, "-p", style, "-n", "-t", "int", "-s", "1"}).ok &&
           ok;
  }
  return any && ok;
}

void TellDesktop(WallpaperReport& report) {
  Runner run(report);
  const std::string& file = report.file;
  report.setter = DesktopSetter(EnvOr("XDG_CURRENT_DESKTOP", ""));
  if (report.setter == WallpaperSetter::None) {
    if (OnPath("feh"))
      report.setter = WallpaperSetter::Feh;
    else if (OnPath("xwallpaper"))
      report.setter = WallpaperSetter::Xwallpaper;
  }
  switch (report.setter) {
    case WallpaperSetter::Gnome:
      report.applied = TellGSettingsUri(run, "org.gnome.desktop.background", file);
      break;
    case WallpaperSetter::Cinnamon:
      report.applied = TellGSettingsUri(run, "org.cinnamon.desktop.background", file);
      break;
    case WallpaperSetter::Mate:
      report.applied = TellMate(run, file);
      break;
    case WallpaperSetter::Xfce:
      report.applied = TellXfce(run, file);
      break;
    case WallpaperSetter::Plasma:
      report.applied = run.Run({"plasma-apply-wallpaperimage", "--fill-mode", "pad", file}).ok;
      break;
    case WallpaperSetter::Feh:
      report.applied = run.Run({"feh", "--bg-center", file}).ok;
      break;
    case WallpaperSetter::Xwallpaper:
      report.applied = run.Run({"xwallpaper", "--center", file}).ok;
      break;
    case WallpaperSetter::None:
      break;
  }
}

// Creates each missing folder of `folder`, private to the user as data folders are.
ErrorOr<WallpaperReport> WriteAndTell(std::vector<uint8_t> bytes, const std::string& ownPath) {
  const std::string_view data(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  WallpaperReport report;
  // Beside the saver only in a folder of the user's own: a saver installed for everyone
  // (root may write there too) must not carry one user's wallpaper.
  report.file = WallpaperPathBeside(ownPath);
  const std::string besideFolder = report.file.substr(0, report.file.rfind('/') + 1);
  if (!IsUsersOwnFolder(besideFolder.empty() ? "." : besideFolder, geteuid()) ||
      !WriteFileAtomically(report.file, data).ok()) {
    report.file = WallpaperFallbackPath(ownPath);
    TRY(MakeFolders(report.file.substr(0, report.file.rfind('/')), 0700));
    TRY(WriteFileAtomically(report.file, data));
  }
  TellDesktop(report);
  return report;
}

Error EmptyPicture() {
  return Error::Make(ErrorCode::BadSize, "The picture is empty; no wallpaper was set.");
}

}  // namespace

std::string_view WallpaperSetterName(WallpaperSetter setter) {
  switch (setter) {
    case WallpaperSetter::None:
      return "none";
    case WallpaperSetter::Gnome:
      return "GNOME";
    case WallpaperSetter::Cinnamon:
      return "Cinnamon";
    case WallpaperSetter::Mate:
      return "MATE";
    case WallpaperSetter::Xfce:
      return "XFCE";
    case WallpaperSetter::Plasma:
      return "KDE Plasma";
    case WallpaperSetter::Feh:
      return "feh";
    case WallpaperSetter::Xwallpaper:
      return "xwallpaper";
  }
  return "none";
}

std::string WallpaperPathBeside(const std::string& ownPath) {
  return ownPath + ".bmp";
}

std::string WallpaperFallbackPath(const std::string& ownPath) {
  std::string data = EnvOr("XDG_DATA_HOME", EnvOr("HOME", "") + "/.local/share");
  if (data.empty() || data.back() != '/') data += '/';
  const size_t slash = ownPath.rfind('/');
  const std::string name = slash == std::string::npos ? ownPath : ownPath.substr(slash + 1);
  return data + "vecsaver/" + name + ".bmp";
}

std::string FileUri(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri = "file://";
  for (char ch : path) {
    const auto c = static_cast<unsigned char>(ch);
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
    if (plain) {
      uri += ch;
    } else {
      uri += '%';
      uri += kHex[c >> 4];
      uri += kHex[c & 15];
    }
  }
  return uri;
}

WallpaperSetter DesktopSetter(std::string_view currentDesktop) {
  size_t start = 0;
  while (start <= currentDesktop.size()) {
    size_t colon = currentDesktop.find(':', start);
    if (colon == std::string_view::npos) colon = currentDesktop.size();
    const std::string_view name = TrimBlanks(currentDesktop.substr(start, colon - start));
    if (EqualsNoCase(name, "GNOME") || EqualsNoCase(name, "GNOME-Classic") ||
        EqualsNoCase(name, "GNOME-Flashback") || EqualsNoCase(name, "Unity"))
      return WallpaperSetter::Gnome;
    if (EqualsNoCase(name, "X-Cinnamon") || EqualsNoCase(name, "Cinnamon"))
      return WallpaperSetter::Cinnamon;
    if (EqualsNoCase(name, "MATE")) return WallpaperSetter::Mate;
    if (EqualsNoCase(name, "XFCE")) return WallpaperSetter::Xfce;
    if (EqualsNoCase(name, "KDE")) return WallpaperSetter::Plasma;
    start = colon + 1;
  }
  return WallpaperSetter::None;
}

ErrorOr<WallpaperReport> SetWallpaper(const BlendBitmap& picture, const std::string& ownPath) {
  if (picture.Empty()) return EmptyPicture();
  BlendBitmap copy(picture.Width(), picture.Height());
  for (int32_t y = 0; y < picture.Height(); ++y) {
    const Pixel* from = picture.ScanLine(y);
    Pixel* to = copy.ScanLine(y);
    for (int32_t x = 0; x < picture.Width(); ++x) to[x] = from[x] | 0xFF000000u;
  }
  return WriteAndTell(EncodeBmp32(copy), ownPath);
}

ErrorOr<WallpaperReport> SetWallpaper(const BottomUpBitmap& picture, const std::string& ownPath) {
  if (picture.Empty()) return EmptyPicture();
  BottomUpBitmap copy(picture.Width(), picture.Height());
  for (int32_t y = 0; y < picture.Height(); ++y) {
    const Pixel* from = picture.ScanLine(y);
    Pixel* to = copy.ScanLine(y);
    for (int32_t x = 0; x < picture.Width(); ++x) to[x] = from[x] | 0xFF000000u;
  }
  return WriteAndTell(EncodeBmp32(copy), ownPath);
}

}  // namespace vec
