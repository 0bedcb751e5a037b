#include <cstdio>
#include <iostream>

#include "tools/vectool/Command.h"

namespace vectool {

namespace {
std::vector<Command>& Registry() {
  static std::vector<Command> commands;
  return commands;
}
}  // namespace

Registration::Registration(Command c) {
  Registry().push_back(c);
}
const std::vector<Command>& Commands() {
  return Registry();
}

std::optional<std::string> Option(const Args& args, std::string_view name) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == name && i + 1 < args.size()) return args[i + 1];
    if (a.size() > name.size() && a.compare(0, name.size(), name) == 0 && a[name.size()] == '=')
      return a.substr(name.size() + 1);
  }
  return std::nullopt;
}

bool Flag(const Args& args, std::string_view name) {
  for (const auto& a : args)
    if (a == name) return true;
  return false;
}

std::vector<std::string> Positionals(const Args& args,
                                     const std::vector<std::string_view>& valued) {
  std::vector<std::string> out;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.size() > 2 && a[0] == '-' && a[1] == '-') {
      bool takes_value = false;
      for (auto v : valued)
        if (a == v) takes_value = true;
      if (takes_value) ++i;
      continue;
    }
    out.push_back(a);
  }
  return out;
}

int Fail(std::string_view message) {
  std::cerr << "vectool: " << message << "\n";
  return 1;
}

}  // namespace vectool

int main(int argc, char** argv) {
  using namespace vectool;
  auto usage = [] {
    std::cerr << "usage: vectool COMMAND [ARGS]\n";
    for (const auto& c : Commands()) std::cerr << "  " << c.usage << "\n";
  };
  if (argc < 2) {
    usage();
    return 2;
  }
  std::string_view name = argv[1];
  if (name == "help" || name == "--help" || name == "-h") {
    usage();
    return 0;
  }
  Args args(argv + 2, argv + argc);
  for (const auto& c : Commands()) {
    if (c.name == name) {
      try {
        return c.run(args);
      } catch (const std::exception& e) {
        return Fail(e.what());
      }
    }
  }
  std::cerr << "vectool: unknown command '" << name << "'\n";
  usage();
  return 2;
}
