#pragma once
// vectool's sub-commands register themselves here; main() dispatches on the first argument.
// A command returns the process exit code; on bad input it prints one line to stderr and
// returns non-zero.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vectool {

using Args = std::vector<std::string>;  // the arguments after the command name
using CommandFn = int (*)(const Args& args);

struct Command {
  std::string_view name;
  std::string_view usage;  // one line, shown by `vectool help`
  CommandFn run;
};

// Registers a command at static-initialisation time: `static const Registration r{{...}};`
struct Registration {
  explicit Registration(Command c);
};

const std::vector<Command>& Commands();

// Small helpers shared by the commands.
// Value of "--name VALUE" (or "--name=VALUE"); nullptr when absent.
std::optional<std::string> Option(const Args& args, std::string_view name);
bool Flag(const Args& args, std::string_view name);
// Arguments that are neither options nor option values, given which options take a value.
std::vector<std::string> Positionals(const Args& args, const std::vector<std::string_view>& valued);
// Prints "vectool: <message>" to stderr and returns 1.
int Fail(std::string_view message);

}  // namespace vectool
