#pragma once
// vectool's commands. Each command file declares its subcommand of the one CLI::App through
// a registration function below, called from main: the subcommand's options are bound to
// the command's own settings, and after a successful parse main runs the chosen command,
// which returns the process exit code. On bad input a command prints one line to stderr and
// returns non-zero.

#include <CLI/CLI.hpp>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vectool {

// Exit codes: a step failed or the input could not be read; the command line could not be
// read (no command, an unknown one, or wrong install options).
inline constexpr int kFailed = 1;
inline constexpr int kUsage = 2;

class Commands {
 public:
  explicit Commands(CLI::App& app);

  // Adds a subcommand whose `run` is called when a parse chooses it. `usageExit` is the exit
  // code when its command line cannot be read.
  CLI::App& Add(const std::string& name, const std::string& description, std::function<int()> run,
                int usageExit = kFailed);

  // Parses the command line and runs the chosen command; returns the exit code. Parse errors
  // are reported on one line of stderr; --help prints the help and returns 0.
  int Run(int argc, char** argv);

 private:
  struct Entry {
    const CLI::App* app;
    std::function<int()> run;
    int usageExit;
  };
  const Entry* Chosen() const;

  CLI::App& app_;
  std::vector<Entry> entries_;
};

void AddPackageCommands(Commands& commands);  // info, settings, extract, pack
void AddVepCommand(Commands& commands);
void AddEffectCommand(Commands& commands);
void AddGalleryCommand(Commands& commands);
void AddAnimateCommand(Commands& commands);
void AddRenderCommand(Commands& commands);
// forms and form-shot; nothing in builds without the widgets.
void AddFormCommands(Commands& commands);
void AddInstallCommand(Commands& commands);

// Prints "vectool: <message>" to stderr and returns kFailed.
int Fail(std::string_view message);

// Option checks shared by the commands, run on the text before it is converted.
// A whole decimal number, given to the converter as such (add it with transform(): without
// it "010" would be read as octal and "0x10" as hexadecimal).
CLI::Validator WholeNumber();
// "WxH" with both sides in 1..maxSide.
CLI::Validator PictureSize(int32_t maxSide);
// --quality Q (0..100): WebP output lossy at that quality instead of lossless.
void AddQualityOption(CLI::App& command, std::optional<int>& quality);

}  // namespace vectool
