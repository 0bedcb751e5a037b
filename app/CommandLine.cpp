#include "app/CommandLine.h"

#include <charconv>

#include "base/FrameThreads.h"

namespace vec {
namespace {

std::string UpperAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

bool OneOf(std::string_view code, std::string_view letter) {
  return code == letter ||
         (code.size() == 2 && (code[0] == '/' || code[0] == '-') && code.substr(1) == letter);
}

// "-name" or "--name".
bool IsDaemonOption(std::string_view arg, std::string_view name) {
  if (arg.size() > 2 && arg.substr(0, 2) == "--") arg.remove_prefix(1);
  return arg.size() == name.size() + 1 && arg[0] == '-' && arg.substr(1) == name;
}

std::optional<uint64_t> ParseDigits(std::string_view text, int base) {
  if (text.empty()) return std::nullopt;
  uint64_t v = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, base);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return v;
}

}  // namespace

bool IsPasswordMode(std::string_view code) {
  return OneOf(code, "A");
}
bool IsSaverMode(std::string_view code) {
  return OneOf(code, "S");
}
bool IsConfigMode(std::string_view code) {
  return code.empty() || OneOf(code, "C");
}
bool IsPreviewMode(std::string_view code) {
  return OneOf(code, "P");
}

std::optional<uint64_t> ParseDecimalHandle(std::string_view text) {
  return ParseDigits(text, 10);
}

std::optional<uint64_t> ParseWindowId(std::string_view text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    return ParseDigits(text.substr(2), 16);
  return ParseDigits(text, 10);
}

CommandLine ParseCommandLine(const std::vector<std::string>& args, const char* xscreensaverWindow) {
  CommandLine cl;
  std::vector<std::string> rest;
  bool daemon = false;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string_view a = args[i];
    if (a == "--package" && i + 1 < args.size()) {
      cl.packageFile = args[++i];
    } else if (a.substr(0, 10) == "--package=") {
      cl.packageFile = std::string(a.substr(10));
    } else if (a == "--install") {
      cl.installAction = InstallAction::Install;
    } else if (a == "--uninstall") {
      cl.installAction = InstallAction::Uninstall;
    } else if (a == "--list") {
      cl.installAction = InstallAction::List;
    } else if (a == "--for" && i + 1 < args.size()) {
      cl.installFor = args[++i];
    } else if (a.substr(0, 6) == "--for=") {
      cl.installFor = std::string(a.substr(6));
    } else if (a == "--system") {
      cl.installSystem = true;
    } else if ((a == "--threads" && i + 1 < args.size()) || a.substr(0, 10) == "--threads=") {
      const std::string value = a == "--threads" ? args[++i] : std::string(a.substr(10));
      if (auto n = ParseThreadCount(value))
        cl.threads = *n;
      else
        cl.warnings.push_back("ignoring --threads \"" + value + "\" (a count from 1 to 256)");
    } else if (IsDaemonOption(a, "root")) {
      daemon = true;
      if (cl.target.kind == SaverTarget::Kind::FullScreen)
        cl.target.kind = SaverTarget::Kind::RootWindow;
    } else if (IsDaemonOption(a, "window-id") && i + 1 < args.size()) {
      daemon = true;
      if (auto id = ParseWindowId(args[++i])) {
        cl.target.kind = SaverTarget::Kind::Window;
        cl.target.windowId = *id;
      } else {
        cl.warnings.push_back("ignoring the window id \"" + args[i] + "\"");
      }
    } else if (IsDaemonOption(a, "fps")) {
      daemon = true;
      cl.target.showFps = true;
    } else if (IsDaemonOption(a, "visual") && i + 1 < args.size()) {
      cl.warnings.push_back("ignoring -visual " + args[++i]);
    } else if (IsDaemonOption(a, "install")) {
      cl.warnings.push_back("ignoring -install");
    } else {
      rest.push_back(args[i]);
    }
  }
  // Beside a daemon's own options, "--install" is the daemons' colour-map option written
  // with two dashes, not the install action.
  if (daemon && cl.installAction == InstallAction::Install) {
    cl.installAction = InstallAction::None;
    cl.warnings.push_back("ignoring --install");
  }
  // xsecurelock and the like start the saver with no mode (or /s) and name their window in
  // XSCREENSAVER_WINDOW only: that is the daemon dialect too.
  if (!daemon && xscreensaverWindow && *xscreensaverWindow && ParseWindowId(xscreensaverWindow) &&
      (rest.empty() || IsSaverMode(UpperAscii(rest[0]).substr(0, 2))))
    daemon = true;
  if (daemon) {
    // The daemons start the show; the window they name (or publish) is its parent. A window
    // named on the command line wins over the one in the environment.
    cl.target.daemon = true;
    if (cl.target.kind != SaverTarget::Kind::Window && xscreensaverWindow && *xscreensaverWindow) {
      if (auto id = ParseWindowId(xscreensaverWindow)) {
        cl.target.kind = SaverTarget::Kind::Window;
        cl.target.windowId = *id;
      }
    }
    cl.modeCode = "/S";
    return cl;
  }
  if (!rest.empty()) {
    cl.modeWord = rest[0];
    cl.modeCode = UpperAscii(rest[0]).substr(0, 2);
  }
  if (rest.size() > 1) cl.modeArgument = UpperAscii(rest[1]);
  return cl;
}

std::optional<int32_t> ChooseThreadCap(const CommandLine& cl, const char* fromEnvironment,
                                       std::vector<std::string>& warnings) {
  if (cl.threads) return cl.threads;
  if (fromEnvironment == nullptr || *fromEnvironment == '\0') return std::nullopt;
  if (auto n = ParseThreadCount(fromEnvironment)) return n;
  warnings.push_back("ignoring VECSAVER_THREADS=\"" + std::string(fromEnvironment) +
                     "\" (a count from 1 to 256)");
  return std::nullopt;
}

}  // namespace vec
