#include "audio/SoundSchedule.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "base/Random.h"

namespace vec {
namespace fs = std::filesystem;

namespace {

bool IsFile(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_regular_file(path, ec);
}

std::string WithSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
}

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value && *value ? std::string(value) : fallback;
}

}  // namespace

std::string_view FileNamePart(std::string_view name) {
  auto cut = name.find_last_of("\\/");
  return cut == std::string_view::npos ? name : name.substr(cut + 1);
}

std::string FindFileInFolder(const std::string& folder, std::string_view name) {
  if (folder.empty() || name.empty()) return {};
  std::string dir = WithSlash(folder);
  std::string exact = dir + std::string(name);
  if (IsFile(exact)) return exact;
  std::error_code ec;
  fs::directory_iterator it(dir, ec);
  if (ec) return {};
  // First match in directory order; a case-blind folder could hold only one of them anyway.
  for (const auto& entry : it) {
    std::string entryName = entry.path().filename().string();
    if (SameIgnoringCase(entryName, name) && IsFile(entry.path().string())) {
      return entry.path().string();
    }
  }
  return {};
}

std::vector<std::string> SharedSoundFolders() {
  const std::string home = EnvOr("HOME", "");
  std::vector<std::string> bases;
  std::string dataHome = EnvOr("XDG_DATA_HOME", home.empty() ? "" : home + "/.local/share");
  if (!dataHome.empty()) bases.push_back(dataHome);
  std::string dirs = EnvOr("XDG_DATA_DIRS", "/usr/local/share:/usr/share");
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    if (end > start) bases.push_back(dirs.substr(start, end - start));
    start = end + 1;
  }
  std::vector<std::string> folders;
  for (const auto& base : bases) folders.push_back(WithSlash(base) + "Dawlish/Common/sounds/");
  return folders;
}

std::string FindSoundFile(std::string_view fileName, const SoundSearchPaths& paths) {
  if (fileName.empty()) return {};
  std::string asIs(fileName);
  if (IsFile(asIs)) return asIs;
  const std::string_view part = FileNamePart(fileName);
  if (auto found = FindFileInFolder(paths.tempFolder, part); !found.empty()) return found;
  for (const auto& folder : paths.sharedSoundFolders) {
    if (auto found = FindFileInFolder(folder, part); !found.empty()) return found;
  }
  if (!paths.exeFolder.empty()) {
    if (auto found = FindFileInFolder(WithSlash(paths.exeFolder) + "sounds/", part);
        !found.empty()) {
      return found;
    }
  }
  return {};
}

int64_t SoundSchedule::DrawInterval(const SoundSlot& slot) const {
  if (slot.PlayMode == kPlayFixedInterval) return slot.IntervalMin;
  // From the lower bound up to, not including, the upper one; equal bounds give the lower
  // one, and bounds given the wrong way round are taken in order.
  const int64_t lo = std::min(slot.IntervalMin, slot.IntervalMax);
  const int64_t hi = std::max(slot.IntervalMin, slot.IntervalMax);
  const auto span = static_cast<uint32_t>(hi - lo);
  return lo + static_cast<uint32_t>(Random(static_cast<int32_t>(span)));
}

void SoundSchedule::LoadSoundEffects(std::span<const SoundSlot> slots,
                                     const SoundSearchPaths& paths) {
  count_ = static_cast<int>(std::min<size_t>(slots.size(), kSoundSlotCount));
  states_ = {};
  slots_ = {};
  int nextEntry = 0;
  for (int i = 0; i < count_; ++i) {
    slots_[i] = slots[i];
    SlotState& state = states_[i];
    state.startTick = clock_.Ticks();
    const std::string path = FindSoundFile(slots_[i].FileName, paths);
    if (path.empty()) continue;
    // A file that does not load leaves the slot inactive; the next file reuses its entry.
    if (!player_.Add(nextEntry, path)) continue;
    state.active = true;
    state.entry = nextEntry++;
    if (slots_[i].PlayMode == kPlayRandomPause || slots_[i].PlayMode == kPlayFixedInterval) {
      state.interval = DrawInterval(slots_[i]);
    }
  }
}

void SoundSchedule::Play(int entry, bool loop) {
  player_.Play(entry, loop);
  if (pump_) pump_();
}

void SoundSchedule::UpdateSoundEffects() {
  try {
    for (int i = 0; i < count_; ++i) {
      SlotState& state = states_[i];
      if (!state.active) continue;
      const uint32_t now = clock_.Ticks();
      const int64_t elapsed = TickDiff(now, state.startTick) / 1000;
      switch (slots_[i].PlayMode) {
        case kPlayLoop:
          if (!state.played) {
            state.played = true;
            Play(state.entry, true);
          }
          break;
        case kPlayRandomPause:
          if (elapsed >= state.interval) {
            state.startTick = now;
            state.interval = DrawInterval(slots_[i]);
            Play(state.entry, false);
          }
          break;
        case kPlayFixedInterval:
          if (elapsed >= slots_[i].IntervalMin) {
            state.startTick = now;
            Play(state.entry, false);
          }
          break;
        default:
          break;
      }
    }
  } catch (...) {
    // A failing play ends this pass; the next tick tries again.
  }
}

void SoundSchedule::ClearSoundEffects() {
  player_.StopAll();
  player_.Clear();
  states_ = {};
  count_ = 0;
}

}  // namespace vec
