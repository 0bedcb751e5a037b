#include <gtest/gtest.h>

#include "app/CommandLine.h"

namespace vec {
namespace {

enum class Mode { None, Saver, Config, Preview, Password };

// The mode the entry point runs for a code, testing in its order.
Mode ModeOf(const std::string& code) {
  if (IsPasswordMode(code)) return Mode::Password;
  if (IsSaverMode(code)) return Mode::Saver;
  if (IsConfigMode(code)) return Mode::Config;
  if (IsPreviewMode(code)) return Mode::Preview;
  return Mode::None;
}

struct ArgsCase {
  std::vector<std::string> args;
  std::string code;
  std::string argument;
  Mode mode;
};

class CommandLineTest : public ::testing::TestWithParam<ArgsCase> {};

TEST_P(CommandLineTest, FirstTwoCharactersUpperCased) {
  const ArgsCase& c = GetParam();
  CommandLine cl = ParseCommandLine(c.args);
  EXPECT_EQ(cl.modeCode, c.code);
  EXPECT_EQ(cl.modeArgument, c.argument);
  EXPECT_EQ(ModeOf(cl.modeCode), c.mode);
  EXPECT_FALSE(cl.target.daemon);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineTest,
    ::testing::Values(
        ArgsCase{{}, "", "", Mode::Config}, ArgsCase{{"/c:1234"}, "/C", "", Mode::Config},
        ArgsCase{{"/C", "1234"}, "/C", "1234", Mode::Config},
        ArgsCase{{"-c"}, "-C", "", Mode::Config}, ArgsCase{{"c"}, "C", "", Mode::Config},
        ArgsCase{{"/p", "1234"}, "/P", "1234", Mode::Preview},
        ArgsCase{{"p", "0x1f"}, "P", "0X1F", Mode::Preview}, ArgsCase{{"s"}, "S", "", Mode::Saver},
        ArgsCase{{"/s"}, "/S", "", Mode::Saver}, ArgsCase{{"-S"}, "-S", "", Mode::Saver},
        ArgsCase{{"/SAVE"}, "/S", "", Mode::Saver}, ArgsCase{{"SX"}, "SX", "", Mode::None},
        ArgsCase{{"/x"}, "/X", "", Mode::None}, ArgsCase{{"//s"}, "//", "", Mode::None},
        ArgsCase{{"/a", "1234"}, "/A", "1234", Mode::Password},
        ArgsCase{{"a"}, "A", "", Mode::Password},
        ArgsCase{{"/s", "--package", "f.scr"}, "/S", "", Mode::Saver},
        ArgsCase{{"--package=f.scr", "/p", "77"}, "/P", "77", Mode::Preview},
        ArgsCase{{"--package", "f.scr"}, "", "", Mode::Config}));

TEST(CommandLine, PackageOptionAnywhere) {
  EXPECT_EQ(ParseCommandLine({"/s", "--package", "x.scr"}).packageFile, "x.scr");
  EXPECT_EQ(ParseCommandLine({"--package=y.scr", "/c"}).packageFile, "y.scr");
  EXPECT_FALSE(ParseCommandLine({"/s"}).packageFile);
}

// The mode word is the first argument that is not an option, as given: with "--package FILE"
// in front, the settings access rule must see "/c", not "--package". Catches the word taken
// from the raw first argument and a word upper-cased or cut (the rule wants "/c:1234" whole).
TEST(CommandLine, ModeWordSkipsTheOptions) {
  const std::pair<std::vector<std::string>, const char*> rows[] = {
      {{"--package", "Sea.scr", "/c"}, "/c"}, {{"--package=Sea.scr", "/c:1234"}, "/c:1234"},
      {{"--threads", "2", "-C"}, "-C"},       {{"/s", "--package", "Sea.scr"}, "/s"},
      {{"--package", "Sea.scr"}, ""},         {{"-root"}, ""},
  };
  for (const auto& [args, word] : rows) EXPECT_EQ(ParseCommandLine(args).modeWord, word) << word;
}

TEST(CommandLine, DaemonDialect) {
  CommandLine root = ParseCommandLine({"-root"});
  EXPECT_EQ(root.modeCode, "/S");
  EXPECT_TRUE(root.target.daemon);
  EXPECT_EQ(root.target.kind, SaverTarget::Kind::RootWindow);

  CommandLine win = ParseCommandLine({"--window-id", "0x2a00007", "-fps"});
  EXPECT_EQ(win.target.kind, SaverTarget::Kind::Window);
  EXPECT_EQ(win.target.windowId, 0x2a00007u);
  EXPECT_TRUE(win.target.showFps);

  CommandLine env = ParseCommandLine({"-root"}, "4711");
  EXPECT_EQ(env.target.kind, SaverTarget::Kind::Window);
  EXPECT_EQ(env.target.windowId, 4711u);

  CommandLine both = ParseCommandLine({"-window-id", "12"}, "4711");
  EXPECT_EQ(both.target.windowId, 12u);

  CommandLine ignored = ParseCommandLine({"-root", "-visual", "default", "-install"});
  EXPECT_EQ(ignored.warnings.size(), 2u);
  EXPECT_EQ(ignored.modeCode, "/S");
}

TEST(CommandLine, WindowHandles) {
  EXPECT_EQ(ParseDecimalHandle("1234"), 1234u);
  EXPECT_FALSE(ParseDecimalHandle(""));
  EXPECT_FALSE(ParseDecimalHandle("12a"));
  EXPECT_FALSE(ParseDecimalHandle("-1"));
  EXPECT_EQ(ParseWindowId("0x1F"), 31u);
  EXPECT_EQ(ParseWindowId("31"), 31u);
  EXPECT_FALSE(ParseWindowId("0x"));
}

}  // namespace
}  // namespace vec

namespace vec {
namespace {

// "--install" is the install action, except beside a daemon's options, where it is their
// "-install" with two dashes and is ignored like the single-dash form; the install options
// never start a mode of the screen-saver dialect.
TEST(CommandLine, InstallActions) {
  struct Case {
    std::vector<std::string> args;
    InstallAction action;
    std::string forDaemons;
    bool system;
  };
  const std::vector<Case> cases = {
      {{"--install"}, InstallAction::Install, "all", false},
      {{"--install", "--for", "mate", "--system"}, InstallAction::Install, "mate", true},
      {{"--for=xscreensaver,xsecurelock", "--install"},
       InstallAction::Install,
       "xscreensaver,xsecurelock",
       false},
      {{"--package", "Sea.scr", "--uninstall"}, InstallAction::Uninstall, "all", false},
      {{"--list"}, InstallAction::List, "all", false},
      {{"-install", "-root"}, InstallAction::None, "all", false},
      {{"--install", "-root"}, InstallAction::None, "all", false},
      {{"--window-id", "0x2a", "--install"}, InstallAction::None, "all", false},
      {{"/s"}, InstallAction::None, "all", false},
  };
  for (const Case& c : cases) {
    CommandLine cl = ParseCommandLine(c.args);
    EXPECT_EQ(cl.installAction, c.action) << c.args[0];
    EXPECT_EQ(cl.installFor, c.forDaemons) << c.args[0];
    EXPECT_EQ(cl.installSystem, c.system) << c.args[0];
  }
  EXPECT_EQ(ParseCommandLine({"--package", "Sea.scr", "--uninstall"}).packageFile, "Sea.scr");
  EXPECT_EQ(ParseCommandLine({"-install", "-root"}).warnings.size(), 1u);
  EXPECT_EQ(ParseCommandLine({"--install", "-root"}).warnings,
            (std::vector<std::string>{"ignoring --install"}));
  EXPECT_TRUE(ParseCommandLine({"--install", "-root"}).target.daemon);
}

}  // namespace
}  // namespace vec

namespace vec {
namespace {

// --threads in both spellings, anywhere, without taking the mode's place, and its order
// over VECSAVER_THREADS. Catches the option being read as the mode code, the environment
// winning over the command line, and refused counts being applied instead of warned about.
TEST(CommandLine, ThreadCap) {
  struct Case {
    std::vector<std::string> args;
    const char* environment;
    std::optional<int32_t> cap;
    std::string modeCode;
    size_t warnings;
  };
  const std::vector<Case> cases = {
      {{"/s", "--threads", "3"}, nullptr, 3, "/S", 0},
      {{"--threads=2", "/p", "77"}, nullptr, 2, "/P", 0},
      {{"/s", "--threads", "3"}, "5", 3, "/S", 0},
      {{"/s"}, "5", 5, "/S", 0},
      {{"/s"}, "", std::nullopt, "/S", 0},
      {{"/s"}, nullptr, std::nullopt, "/S", 0},
      {{"/s"}, "many", std::nullopt, "/S", 1},
      {{"--threads", "0", "/s"}, nullptr, std::nullopt, "/S", 1},
      {{"--threads=-4", "/s"}, "2", 2, "/S", 1},
      {{"-root", "--threads", "2"}, nullptr, 2, "/S", 0},
  };
  for (const Case& c : cases) {
    CommandLine cl = ParseCommandLine(c.args);
    std::vector<std::string> warnings = cl.warnings;
    EXPECT_EQ(ChooseThreadCap(cl, c.environment, warnings), c.cap) << c.args[0];
    EXPECT_EQ(cl.modeCode, c.modeCode) << c.args[0];
    EXPECT_EQ(warnings.size(), c.warnings) << c.args[0];
  }
}

}  // namespace
}  // namespace vec
