#pragma once
// The screen-saver command line: "/S", "/C" (or nothing), "/P handle", "/A handle", with "-" or
// no prefix as well, of which only the first two characters count; plus this platform's
// extras: "--package FILE" anywhere, and the dialect of the screen-saver daemons ("-root",
// "-window-id ID", "-fps", with one or two dashes; XSCREENSAVER_WINDOW as the window); and
// the install actions "--install [--for DAEMONS] [--system]", "--uninstall", "--list"; and
// "--threads N", the cap on the threads that draw a large frame.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/InstallCommand.h"

namespace vec {

// Where the slideshow is shown.
struct SaverTarget {
  enum class Kind { FullScreen, RootWindow, Window };
  Kind kind = Kind::FullScreen;
  uint64_t windowId = 0;  // for Kind::Window
  bool showFps = false;
  bool daemon = false;  // started by a screen-saver daemon: no input, ends on SIGTERM
};

struct CommandLine {
  // "Argument 1" and "argument 2" are the first two arguments that are not options of this
  // program ("--package FILE", "--threads N", the install and daemon options).
  std::string modeCode;                    // argument 1 upper-cased and cut to two characters
  std::string modeArgument;                // argument 2 upper-cased
  std::string modeWord;                    // argument 1 as given (empty for the daemons)
  std::optional<std::string> packageFile;  // --package FILE
  SaverTarget target;
  std::vector<std::string> warnings;  // options that are accepted but ignored
  // --install, --uninstall or --list (two dashes; the daemons' "-install" is ignored), with
  // --for DAEMONS and --system. Such a run installs and shows nothing.
  InstallAction installAction = InstallAction::None;
  std::string installFor = "all";
  bool installSystem = false;
  // --threads N: the most threads a large frame is drawn with; nullopt when not given (or
  // refused with a warning).
  std::optional<int32_t> threads;
};

CommandLine ParseCommandLine(const std::vector<std::string>& args,
                             const char* xscreensaverWindow = nullptr);

// The cap on the threads per large frame: --threads when given, else VECSAVER_THREADS
// (`fromEnvironment`, may be null) when it holds a valid count, else nullopt (the machine's
// cores). An invalid environment value adds a warning to `warnings`.
std::optional<int32_t> ChooseThreadCap(const CommandLine& cl, const char* fromEnvironment,
                                       std::vector<std::string>& warnings);

// The run modes, tested in this order; a code that matches none runs nothing.
bool IsPasswordMode(std::string_view code);  // "/A", "-A", "A"
bool IsSaverMode(std::string_view code);     // "/S", "-S", "S"
bool IsConfigMode(std::string_view code);    // "/C", "-C", "C", ""
bool IsPreviewMode(std::string_view code);   // "/P", "-P", "P"

// A window handle written in decimal (the screen-saver command line); nullopt when the text
// is not one.
std::optional<uint64_t> ParseDecimalHandle(std::string_view text);
// A window id as the daemons write it: "0x" hexadecimal or decimal.
std::optional<uint64_t> ParseWindowId(std::string_view text);

}  // namespace vec
