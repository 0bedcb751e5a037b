#include "tools/vectool/ProgressLine.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace vectool {

ProgressLine::ProgressLine(std::string label, int64_t total, std::string unit)
    : ProgressLine(std::move(label), total, std::move(unit), STDERR_FILENO) {}

ProgressLine::ProgressLine(std::string label, int64_t total, std::string unit, int fd)
    : label_(std::move(label)),
      unit_(std::move(unit)),
      total_(std::max<int64_t>(total, 1)),
      fd_(fd),
      enabled_(isatty(fd) == 1) {}

ProgressLine::~ProgressLine() {
  Finish();
}

void ProgressLine::Update(int64_t done, int64_t count) {
  if (!enabled_) return;
  const int64_t percent = std::clamp<int64_t>(done, 0, total_) * 100 / total_;
  if (percent == lastPercent_) return;
  lastPercent_ = percent;
  // Back to the line's start, the text, then clear what a longer earlier text left.
  Write("\r" + label_ + ": " + std::to_string(percent) + "% (" + std::to_string(count) + " " +
        unit_ + ")\x1b[K");
  drawn_ = true;
}

void ProgressLine::Finish() {
  if (!drawn_) return;
  Write("\r\x1b[K");
  drawn_ = false;
  lastPercent_ = -1;
}

void ProgressLine::Write(const std::string& bytes) const {
  size_t at = 0;
  while (at < bytes.size()) {
    const ssize_t n = write(fd_, bytes.data() + at, bytes.size() - at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // progress is a courtesy: a failed write is not an error
    at += static_cast<size_t>(n);
  }
}

}  // namespace vectool
