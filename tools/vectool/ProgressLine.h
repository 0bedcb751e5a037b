#pragma once
// A line of progress on stderr for the long-running commands ("render: 40% (120 frames)"),
// redrawn in place. Only when stderr is a terminal: pipes, files and tests see nothing.

#include <cstdint>
#include <string>

namespace vectool {

class ProgressLine {
 public:
  // `total` steps make the whole (at least 1); `unit` names what the count counts.
  ProgressLine(std::string label, int64_t total, std::string unit);
  // Shown on `fd` when it is a terminal (for tests; the commands use stderr).
  ProgressLine(std::string label, int64_t total, std::string unit, int fd);
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  // `done` of the total steps are done; `count` of the units are made. Redraws only when the
  // percentage changes.
  void Update(int64_t done, int64_t count);
  // Clears the line (also done by the destructor), so that what follows starts clean.
  void Finish();

 private:
  void Write(const std::string& bytes) const;

  std::string label_, unit_;
  int64_t total_;
  int fd_;
  bool enabled_;
  bool drawn_ = false;
  int64_t lastPercent_ = -1;
};

}  // namespace vectool
