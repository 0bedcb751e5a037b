#pragma once
// Programs the whole-program tests start: a child with a bounded life (killed, with its
// process group, when the test lets go of it), and polling for a condition with a limit.

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace vec::testing {

// Polls `done` every 50 ms until it holds or `limit` has passed; the last answer.
inline bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  using Clock = std::chrono::steady_clock;
  const auto end = Clock::now() + limit;
  while (Clock::now() < end) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return done();
}

class ChildProcess {
 public:
  struct Options {
    // Added to the test's own environment (NAME=value), unless `cleanEnvironment`.
    std::vector<std::string> env;
    bool cleanEnvironment = false;
    // Standard error goes here (standard output too when `captureStdout`).
    std::string stderrFile = "/dev/null";
    bool captureStdout = false;
    // The child leads a process group of its own, and the whole group is ended with it:
    // for daemons, whose helpers and savers must not outlive the test.
    bool ownGroup = false;
  };

  ChildProcess(const std::vector<std::string>& argv, const Options& options)
      : ownGroup_(options.ownGroup) {
    pid_ = fork();
    if (pid_ == 0) {
      if (options.ownGroup) setpgid(0, 0);
      if (options.cleanEnvironment) clearenv();
      for (const auto& e : options.env) putenv(const_cast<char*>(e.c_str()));
      const int fd = open(options.stderrFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (fd >= 0) {
        dup2(fd, 2);
        if (options.captureStdout) dup2(fd, 1);
      }
      std::vector<char*> args;
      for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
      args.push_back(nullptr);
      execvp(args[0], args.data());
      _exit(127);
    }
    if (pid_ > 0 && ownGroup_) setpgid(pid_, pid_);  // either side may run first
  }
  // The test's own environment plus `env`; standard error to `stderrFile`.
  ChildProcess(const std::vector<std::string>& argv, const std::vector<std::string>& env,
               const std::string& stderrFile)
      : ChildProcess(argv, Options{env, false, stderrFile, false, false}) {}

  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  ~ChildProcess() {
    if (pid_ <= 0) return;
    if (ownGroup_) {
      // A daemon is asked first, so it can end its own children; then the group goes.
      if (!exited_) {
        kill(pid_, SIGTERM);
        WaitExit(std::chrono::seconds(3));
      }
      kill(-pid_, SIGKILL);
    }
    if (!exited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }

  pid_t Pid() const { return pid_; }
  bool Running() {
    Poll();
    return !exited_;
  }
  // The exit code once the process ended within `limit` (128 + the signal when a signal
  // ended it); nullopt while it still runs.
  std::optional<int> WaitExit(std::chrono::milliseconds limit) {
    WaitFor([&] { return !Running(); }, limit);
    if (!exited_) return std::nullopt;
    return WIFEXITED(status_) ? WEXITSTATUS(status_) : 128 + WTERMSIG(status_);
  }
  void Signal(int sig) { kill(pid_, sig); }

 private:
  void Poll() {
    if (exited_ || pid_ <= 0) return;
    if (waitpid(pid_, &status_, WNOHANG) == pid_) exited_ = true;
  }
  pid_t pid_ = -1;
  int status_ = 0;
  bool exited_ = false;
  bool ownGroup_ = false;
};

}  // namespace vec::testing
