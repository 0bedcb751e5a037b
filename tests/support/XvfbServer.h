#pragma once
// A virtual X display for whole-program tests: Xvfb started on a free display number (it
// reports the number itself once it is ready), ended with the object.

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace vec::testing {

class XvfbServer {
 public:
  // Starts nothing when Xvfb is not installed or does not come up: Name() is then empty.
  XvfbServer(int width, int height) {
    if (system("command -v Xvfb >/dev/null 2>&1") != 0) return;
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(fds[1], 3);
      const int null = open("/dev/null", O_WRONLY);
      dup2(null, 1);
      dup2(null, 2);
      const std::string size = std::to_string(width) + "x" + std::to_string(height) + "x24";
      execlp("Xvfb", "Xvfb", "-displayfd", "3", "-screen", "0", size.c_str(), "-nolisten", "tcp",
             nullptr);
      _exit(127);
    }
    close(fds[1]);
    char buf[16] = {};
    std::string number;
    for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) {
      number.append(buf, static_cast<size_t>(n));
      if (number.find('\n') != std::string::npos) break;
    }
    close(fds[0]);
    while (!number.empty() && (number.back() == '\n' || number.back() == ' ')) number.pop_back();
    if (!number.empty()) name_ = ":" + number;
  }
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;
  ~XvfbServer() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }

  // ":N", or empty when no server runs.
  const std::string& Name() const { return name_; }

 private:
  pid_t pid_ = -1;
  std::string name_;
};

}  // namespace vec::testing
