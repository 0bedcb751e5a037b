// The programs resource of ~/.xscreensaver: entries read back, lines added and removed.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/XScreenSaverPrograms.h"

namespace vec {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start <= text.size()) {
    size_t nl = text.find('\n', start);
    if (nl == std::string::npos) nl = text.size();
    out.push_back(text.substr(start, nl - start));
    start = nl + 1;
  }
  return out;
}

std::vector<std::string> ProgramsOf(const XScreenSaverFile& f) {
  std::vector<std::string> out;
  for (const ProgramEntry& e : f.Programs()) out.push_back(e.Program());
  return out;
}

TEST(ProgramEntryTest, ReadsTheFourParts) {
  struct Case {
    std::string text;
    bool enabled;
    std::string visual, label, command, program;
  };
  const std::vector<Case> cases = {
      {"\t\t\t\tmaze -root\t\t", true, "", "", "maze -root", "maze"},
      {"- GL:\t\tsuperquadrics -root", false, "GL", "", "superquadrics -root", "superquadrics"},
      {"  \"Demo Saver\"  /home/me/Demo.scr -root", true, "", "Demo Saver",
       "/home/me/Demo.scr -root", "/home/me/Demo.scr"},
      {"-\tdefault: \"Sea: waves\" /s/Sea.scr", false, "default", "Sea: waves", "/s/Sea.scr",
       "/s/Sea.scr"},
  };
  for (const Case& c : cases) {
    auto e = ParseProgramEntry(c.text);
    ASSERT_TRUE(e) << c.text;
    EXPECT_EQ(e->enabled, c.enabled) << c.text;
    EXPECT_EQ(e->visual, c.visual) << c.text;
    EXPECT_EQ(e->label, c.label) << c.text;
    EXPECT_EQ(e->command, c.command) << c.text;
    EXPECT_EQ(e->Program(), c.program) << c.text;
  }
  EXPECT_FALSE(ParseProgramEntry(" \t "));
}

// Files as XScreenSaver and people write them; each is given the new entry and then loses it.
struct FileCase {
  const char* name;
  std::string text;
  std::vector<std::string> programs;  // the programs listed before the edit
};

std::vector<FileCase> FileCases() {
  return {
      {"written by the daemon",
       "# XScreenSaver Preferences File\n"
       "timeout:\t0:10:00\n"
       "programs:\t\t\t\t\t\t\t\t      \\\n"
       "\t\t\t\tmaze -root\t\t\t\t    \\n\\\n"
       "- GL:\t\t\t\tsuperquadrics -root\t\t    \\n\\\n"
       "\t\t\t\txmatrix -root\t\t\t    \\n\\n\n"
       "\n"
       "pointerHysteresis:\t10\n",
       {"maze", "superquadrics", "xmatrix"}},
      {"one entry on the header line",
       "mode: random\nprograms: maze -root\nlock: False\n",
       {"maze"}},
      {"last entry without its line break",
       "programs: \\\n  maze -root \\n\\\n  xmatrix -root\n",
       {"maze", "xmatrix"}},
      {"no programs resource", "timeout: 0:05:00\nlock: True\n", {}},
      {"no final line break", "lock: True\nprograms:\t\\\n  maze -root \\n", {"maze"}},
      {"no final line break, no resource", "lock: True", {}},
  };
}

TEST(XScreenSaverFileTest, AddedEntryReadsBackAfterTheOthersAndKeepsEveryOtherLine) {
  const std::string saver = "/home/me/.local/share/vecsaver/savers/Demo.scr";
  for (const FileCase& c : FileCases()) {
    SCOPED_TRACE(c.name);
    XScreenSaverFile f(c.text);
    ASSERT_EQ(ProgramsOf(f), c.programs);
    EXPECT_FALSE(f.ListsProgram(saver));
    ProgramsEdit edit = f.AddProgram("\"Demo Saver\"  " + saver + " -root");
    const std::string after = f.Text();

    std::vector<std::string> expected = c.programs;
    expected.push_back(saver);
    EXPECT_EQ(ProgramsOf(XScreenSaverFile(after)), expected) << after;
    EXPECT_EQ(XScreenSaverFile(after).Programs().back().label, "Demo Saver");

    // Every line of the user's file is still there, in order; only the resource's former last
    // line may have gained a continuation at its end.
    std::vector<std::string> before = Lines(c.text), now = Lines(after);
    size_t j = 0;
    for (const std::string& line : before) {
      auto same = [&](const std::string& n) {
        return n == line || (line == edit.lineBefore && n == edit.lineAfter);
      };
      while (j < now.size() && !same(now[j])) ++j;
      ASSERT_LT(j, now.size()) << "lost the line \"" << line << "\"\n" << after;
      ++j;
    }

    // Still one continued resource: every line of it but the last ends in a backslash, the
    // entry lines before the last in "\n\", and the last is the new entry ending in "\n".
    auto span = XScreenSaverFile(after).ProgramsSpan();
    ASSERT_TRUE(span);
    for (size_t i = span->first; i < span->last; ++i) {
      std::string value = i == span->first ? now[i].substr(now[i].find(':') + 1) : now[i];
      value = value.substr(0, value.find_last_not_of(" \t\\") + 1);
      ASSERT_FALSE(now[i].empty());
      EXPECT_EQ(now[i].back(), '\\') << now[i];
      if (!value.empty()) {
        EXPECT_EQ(now[i].substr(now[i].size() - 3), "\\n\\") << now[i];
      }
    }
    EXPECT_EQ(now[span->last], edit.addedLine);
    EXPECT_EQ(now[span->last].substr(now[span->last].size() - 2), "\\n");

    // Removing it gives the file back byte for byte.
    XScreenSaverFile removed(after);
    ASSERT_TRUE(removed.RemoveProgram(edit, saver));
    EXPECT_EQ(removed.Text(), c.text);
  }
}

TEST(XScreenSaverFileTest, RemovingKeepsChangesTheUserMadeMeanwhile) {
  const std::string saver = "/s/Demo.scr";
  XScreenSaverFile f("lock: False\nprograms: \\\n  maze -root \\n\n");
  ProgramsEdit edit = f.AddProgram("\"Demo\"  " + saver + " -root");
  std::string text = f.Text();
  text.replace(text.find("lock: False"), 11, "lock: True");
  XScreenSaverFile changed(text);
  ASSERT_TRUE(changed.RemoveProgram(edit, saver));
  EXPECT_EQ(changed.Text(), "lock: True\nprograms: \\\n  maze -root \\n\n");
}

TEST(XScreenSaverFileTest, RemovingFindsTheEntryAfterTheDaemonRewroteItsLine) {
  const std::string saver = "/s/Demo.scr";
  XScreenSaverFile f("programs: \\\n  maze -root \\n\\\n  xmatrix -root \\n\n");
  ProgramsEdit edit = f.AddProgram("\"Demo\"  " + saver + " -root");
  // The daemon writes its own spacing and moves the entry up; the other lines stay.
  std::string rewritten =
      "programs: \\\n  maze -root \\n\\\n-\t\"Demo\" /s/Demo.scr -root\t\\n\\\n  xmatrix -root "
      "\\n\n";
  XScreenSaverFile g(rewritten);
  ASSERT_TRUE(g.RemoveProgram(edit, saver));
  EXPECT_EQ(ProgramsOf(g), (std::vector<std::string>{"maze", "xmatrix"}));
  EXPECT_FALSE(g.RemoveProgram(edit, saver));
}

TEST(XScreenSaverFileTest, ListsAProgramThatIsTurnedOffOrLabelled) {
  XScreenSaverFile f(
      "programs: \\\n- GL: \"Old name\" /s/Demo.scr -root \\n\\\n  maze -root \\n\n");
  EXPECT_TRUE(f.ListsProgram("/s/Demo.scr"));
  EXPECT_TRUE(f.ListsProgram("maze"));
  EXPECT_FALSE(f.ListsProgram("/s/Demo"));
}

}  // namespace
}  // namespace vec
