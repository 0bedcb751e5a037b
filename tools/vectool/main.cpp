// vectool: the tools for making and checking savers, one subcommand each.

#include <iostream>

#include "tools/vectool/Command.h"

int main(int argc, char** argv) {
  using namespace vectool;
  CLI::App app{"Makes, inspects, renders and installs savers and their picture files.", "vectool"};
  Commands commands(app);
  commands.Add("help", "list the commands", [&app] {
    // The formatter directly: App::help() would describe the chosen subcommand, this one.
    std::cout << app.get_formatter()->make_help(&app, app.get_name(), CLI::AppFormatMode::Normal);
    return 0;
  });
  AddPackageCommands(commands);
  AddVepCommand(commands);
  AddEffectCommand(commands);
  AddGalleryCommand(commands);
  AddAnimateCommand(commands);
  AddRenderCommand(commands);
  AddFormCommands(commands);
  AddInstallCommand(commands);
  return commands.Run(argc, argv);
}
