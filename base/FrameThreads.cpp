#include "base/FrameThreads.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <exception>
#include <system_error>
#include <thread>
#include <vector>

namespace vec {
namespace {

constexpr int32_t kMostThreads = 256;

std::atomic<int32_t>& CapSetting() {
  static std::atomic<int32_t> cap{0};  // 0: the machine's cores
  return cap;
}

std::atomic<int64_t>& LargeSetting() {
  static std::atomic<int64_t> pixels{int64_t{3840} * 2160};
  return pixels;
}

int32_t MachineCores() {
  static const int32_t cores =
      std::clamp(static_cast<int32_t>(std::thread::hardware_concurrency()), 1, kMostThreads);
  return cores;
}

}  // namespace

int32_t FrameThreadCap() {
  const int32_t cap = CapSetting().load(std::memory_order_relaxed);
  return cap > 0 ? cap : MachineCores();
}

void SetFrameThreadCap(int32_t n) {
  CapSetting().store(std::clamp(n, 0, kMostThreads), std::memory_order_relaxed);
}

int64_t LargeFramePixels() {
  return LargeSetting().load(std::memory_order_relaxed);
}

void SetLargeFramePixels(int64_t pixels) {
  LargeSetting().store(std::max<int64_t>(pixels, 0), std::memory_order_relaxed);
}

std::optional<int32_t> ParseThreadCount(std::string_view text) {
  if (text.empty() || text.size() > 3) return std::nullopt;
  int32_t n = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (n < 1 || n > kMostThreads) return std::nullopt;
  return n;
}

void SplitRows(int32_t rows, int64_t pixels, const std::function<void(int32_t, int32_t)>& body) {
  if (rows <= 0) return;
  const int32_t parts = pixels < LargeFramePixels() ? 1 : std::min(FrameThreadCap(), rows);
  if (parts <= 1) {
    body(0, rows);
    return;
  }
  // Run k covers [rows * k / parts, rows * (k + 1) / parts).
  const auto edge = [&](int32_t k) {
    return static_cast<int32_t>(static_cast<int64_t>(rows) * k / parts);
  };
  // An exception in a helper (out of memory) is handed to the caller after all have ended.
  std::vector<std::exception_ptr> failures(static_cast<size_t>(parts));
  const auto run = [&](int32_t k) {
    try {
      body(edge(k), edge(k + 1));
    } catch (...) {
      failures[static_cast<size_t>(k)] = std::current_exception();
    }
  };
  int32_t unstarted = parts;
  {
    std::vector<std::jthread> helpers;
    helpers.reserve(static_cast<size_t>(parts - 1));
    for (int32_t k = parts - 1; k >= 1; --k) {
      try {
        helpers.emplace_back(run, k);
      } catch (const std::system_error&) {
        break;  // no more threads: the rest runs here
      }
      unstarted = k;
    }
    for (int32_t k = 0; k < unstarted; ++k) run(k);
  }  // the helpers join here
  for (const std::exception_ptr& failure : failures)
    if (failure) std::rethrow_exception(failure);
}

}  // namespace vec
