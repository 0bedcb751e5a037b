// The progress line of render, animate and gallery, run as the program: on a terminal (a
// pseudo-terminal here) it counts up to the end and is cleared again; into a file or pipe
// nothing of it appears.

#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/package/PackageTestUtil.h"

namespace vec {
namespace {

using testing::ReadBytes;
using testing::ScratchDir;

const std::string kData = VEC_TEST_DATA;

struct Case {
  const char* name;
  std::vector<std::string> args;  // "$D" stands for the scratch folder
  const char* finalText;          // what the line says last
};

std::vector<std::string> Args(const Case& c, const ScratchDir& dir) {
  std::vector<std::string> out;
  for (std::string a : c.args) {
    if (a.rfind("$D", 0) == 0) a = dir / a.substr(2);
    out.push_back(a);
  }
  return out;
}

// A saver of one still picture for render.
std::string PackSaver(const ScratchDir& dir) {
  mkdir((dir / "files").c_str(), 0755);
  const std::string copy = "cp " + kData + "/images/picture64x40.jpg " + dir / "files/a.jpg";
  EXPECT_EQ(std::system(copy.c_str()), 0);
  const std::string pack =
      std::string(VECTOOL_PATH) + " pack --files " + dir / "files" + " --out " + dir / "S.scr";
  EXPECT_EQ(std::system(pack.c_str()), 0);
  return dir / "S.scr";
}

const Case kCases[] = {
    {"animate",
     {"animate", kData + "/picture/sample.vep", "--size", "40x24", "--seconds", "1", "--fps", "5",
      "--out", "$Da.gif"},
     "animate: 100% (5 frames)"},
    {"render",
     {"render", "$DS.scr", "--size", "40x24", "--seconds", "1", "--fps", "5", "--out", "$Dr.webp"},
     "render: 100% (5 frames)"},
    {"gallery",
     {"gallery", "--old", kData + "/images/picture64x40.jpg", "--new",
      kData + "/images/mask64x40.bmp", "--size", "8x6", "--frames", "2", "--out", "$Dg"},
     "gallery: 100% (169 effects)"},
};

// Everything the program writes to a terminal, with its exit status.
std::string RunOnTerminal(const std::vector<std::string>& args, int& status) {
  int master = -1;
  const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
  if (pid == 0) {
    std::vector<char*> argv{const_cast<char*>(VECTOOL_PATH)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(VECTOOL_PATH, argv.data());
    _exit(127);
  }
  std::string out;
  if (pid < 0) return out;
  char buffer[4096];
  for (;;) {
    const ssize_t n = read(master, buffer, sizeof buffer);
    if (n > 0) {
      out.append(buffer, static_cast<size_t>(n));
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      break;  // EIO once the program has ended and closed its side
    }
  }
  close(master);
  waitpid(pid, &status, 0);
  return out;
}

// On a terminal: the line counts to the end (catches a count that stops short, or a line
// never drawn) and is cleared at the end (so the program's last words start clean).
TEST(ProgressLine, DrawnOnATerminalAndClearedAtTheEnd) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    ScratchDir dir;
    if (std::string(c.name) == "render") PackSaver(dir);
    int status = -1;
    const std::string out = RunOnTerminal(Args(c, dir), status);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << out;
    const size_t last = out.rfind(c.finalText);
    ASSERT_NE(last, std::string::npos) << out;
    EXPECT_EQ(out.substr(0, 1), "\r") << out;
    EXPECT_NE(out.find("\r\x1b[K", last), std::string::npos) << "not cleared: " << out;
  }
}

// Into files: not a byte of the line (catches a missing or inverted terminal check).
TEST(ProgressLine, NothingWhenStderrIsNotATerminal) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    ScratchDir dir;
    if (std::string(c.name) == "render") PackSaver(dir);
    std::string command = VECTOOL_PATH;
    for (const std::string& a : Args(c, dir)) command += " '" + a + "'";
    command += " >" + dir / "out.txt" + " 2>" + dir / "err.txt";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadBytes(dir / "err.txt");
    const std::string err = ReadBytes(dir / "err.txt");
    EXPECT_EQ(err.find('\r'), std::string::npos) << err;
    EXPECT_EQ(err.find('%'), std::string::npos) << err;
  }
}

}  // namespace
}  // namespace vec
