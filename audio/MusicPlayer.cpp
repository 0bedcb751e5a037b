#include "audio/MusicPlayer.h"

#include <filesystem>
#include <system_error>

#include "audio/SoundSchedule.h"
#include "base/Random.h"
#include "package/FileSearch.h"

namespace vec {

std::vector<std::string> BuildMusicList(std::string_view musicFile, const std::string& tempFolder) {
  std::vector<std::string> list;
  size_t start = 0;
  while (start < musicFile.size()) {
    size_t end = musicFile.find(';', start);
    if (end == std::string_view::npos) end = musicFile.size();
    std::string_view piece = musicFile.substr(start, end - start);
    start = end + 1;
    if (piece.empty()) continue;
    const std::string_view name = StoredFileNamePart(piece);
    if (name.size() == piece.size()) {
      // Extracted files keep the case the package gave them; the setting may differ.
      std::string found = FindInFolder(tempFolder, name);
      list.push_back(found.empty() ? tempFolder + std::string(piece) : std::move(found));
      continue;
    }
    std::string path(piece);
    // A folder from the authoring machine (often a Windows path) does not exist here; the
    // file of that name among the extracted ones stands in for it.
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
      if (std::string found = FindInFolder(tempFolder, name); !found.empty()) {
        path = std::move(found);
      }
    }
    list.push_back(std::move(path));
  }
  return list;
}

void NextMusicIndex(int32_t& index, int32_t musicMode, int32_t count) {
  if (musicMode != 0) {
    ++index;
    if (index >= count) index = 0;
    return;
  }
  if (count < 2) {
    index = 0;
    return;
  }
  int32_t next;
  do {
    next = Random(count);
  } while (next == index);
  index = next;
}

MusicPlayer::~MusicPlayer() {
  Stop();
}

bool MusicPlayer::OpenAndPlay(int32_t index) {
  device_.SetMusicFileName(musicList_[static_cast<size_t>(index)]);
  if (!device_.OpenMusic()) return false;
  if (device_.PlayMusic()) return true;
  device_.CloseMusic();
  return false;
}

void MusicPlayer::Start(bool music, std::string_view musicFile, int32_t musicMode,
                        const std::string& tempFolder) {
  musicOn_ = music && !musicFile.empty();
  if (!musicOn_) return;
  musicList_ = BuildMusicList(musicFile, tempFolder);
  musicMode_ = musicMode;
  musicIndex_ = -1;
  if (musicList_.empty()) return;
  NextMusicIndex(musicIndex_, musicMode_, Count());
  device_.ArmMusicNotify();
  playing_ = OpenAndPlay(musicIndex_);
}

void MusicPlayer::MusicFinished() {
  if (!playing_) return;
  if (device_.MusicPosition() >= device_.MusicLength()) {
    // Try each file at most once per change; a list where none opens gives up the music.
    std::vector<bool> failed(musicList_.size(), false);
    size_t failures = 0;
    bool started = false;
    // Random order may draw a failed file again; the bound keeps a bad draw run finite.
    for (int attempt = 0; attempt < 64 * Count() && failures < failed.size(); ++attempt) {
      NextMusicIndex(musicIndex_, musicMode_, Count());
      if (failed[static_cast<size_t>(musicIndex_)]) continue;
      device_.CloseMusic();
      if (OpenAndPlay(musicIndex_)) {
        started = true;
        break;
      }
      failed[static_cast<size_t>(musicIndex_)] = true;
      ++failures;
    }
    if (!started) {
      playing_ = false;
      device_.CloseMusic();
      return;
    }
  }
  device_.ArmMusicNotify();
}

void MusicPlayer::PollNotifications() {
  while (device_.TakeMusicNotify()) MusicFinished();
}

void MusicPlayer::Stop() {
  if (!musicOn_) return;
  playing_ = false;
  device_.CloseMusic();
}

}  // namespace vec
