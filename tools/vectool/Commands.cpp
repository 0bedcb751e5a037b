#include <iostream>

#include "tools/vectool/Command.h"
#include "tools/vectool/FrameOutput.h"

namespace vectool {

Commands::Commands(CLI::App& app) : app_(app) {
  // At most one; none is reported after the parse, so that an unknown command is named.
  app_.require_subcommand(0, 1);
  app_.option_defaults()->always_capture_default();
  // One line per error, naming the command, as the commands' own errors are.
  app_.failure_message([](const CLI::App* app, const CLI::Error& e) {
    std::string line = "vectool: ";
    for (const CLI::App* sub : app->get_subcommands()) line += sub->get_name() + ": ";
    return line + e.what() + "\n";
  });
}

CLI::App& Commands::Add(const std::string& name, const std::string& description,
                        std::function<int()> run, int usageExit) {
  CLI::App* sub = app_.add_subcommand(name, description);
  entries_.push_back({sub, std::move(run), usageExit});
  return *sub;
}

const Commands::Entry* Commands::Chosen() const {
  for (const CLI::App* sub : app_.get_subcommands())
    for (const Entry& e : entries_)
      if (e.app == sub) return &e;
  return nullptr;
}

int Commands::Run(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << app_.help();
    return kUsage;
  }
  try {
    app_.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (app_.exit(e) == 0) return 0;  // --help
    const Entry* chosen = Chosen();
    return chosen ? chosen->usageExit : kUsage;
  }
  const Entry* chosen = Chosen();
  if (!chosen) {
    std::cerr << app_.help();
    return kUsage;
  }
  try {
    return chosen->run();
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
}

int Fail(std::string_view message) {
  std::cerr << "vectool: " << message << "\n";
  return kFailed;
}

CLI::Validator WholeNumber() {
  return CLI::Validator(
      [](std::string& text) {
        int64_t value = 0;
        if (!ParseWholeNumber(text, value)) return "'" + text + "' is not a whole decimal number";
        // The converter after this reads "010" as octal and "0x10" as hexadecimal: hand it
        // the number in its plain form.
        text = std::to_string(value);
        return std::string();
      },
      "");
}

CLI::Validator PictureSize(int32_t maxSide) {
  return CLI::Validator(
      [maxSide](const std::string& text) {
        int32_t w = 0, h = 0;
        return ParseSize(text, maxSide, w, h)
                   ? std::string()
                   : "'" + text + "' is not WxH with each side 1.." + std::to_string(maxSide);
      },
      "WxH");
}

void AddQualityOption(CLI::App& command, std::optional<int>& quality) {
  command.add_option("--quality", quality, "WebP only: lossy at this quality (default lossless)")
      ->transform(WholeNumber())
      ->check(CLI::Range(0, 100));
}

}  // namespace vectool
