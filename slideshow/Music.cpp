#include "slideshow/Music.h"

#include "base/Random.h"

namespace vec {

std::vector<std::string> BuildMusicList(std::string_view musicFile,
                                        const std::string& tempFolder) {
  std::vector<std::string> list;
  size_t start = 0;
  while (start < musicFile.size()) {
    size_t end = musicFile.find(';', start);
    if (end == std::string_view::npos) end = musicFile.size();
    std::string_view piece = musicFile.substr(start, end - start);
    start = end + 1;
    if (piece.empty()) continue;
    if (piece.find_first_of("\\/") == std::string_view::npos) {
      list.push_back(tempFolder + std::string(piece));
    } else {
      list.emplace_back(piece);
    }
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

TMusicPlayer::~TMusicPlayer() { Stop(); }

bool TMusicPlayer::OpenAndPlay(int32_t index) {
  device_.SetMusicFileName(musicList_[static_cast<size_t>(index)]);
  if (!device_.OpenMusic()) return false;
  if (device_.PlayMusic()) return true;
  device_.CloseMusic();
  return false;
}

void TMusicPlayer::Start(bool music, std::string_view musicFile, int32_t musicMode,
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

void TMusicPlayer::MediaPlayerNotify() {
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

void TMusicPlayer::PollNotifications() {
  while (device_.TakeMusicNotify()) MediaPlayerNotify();
}

void TMusicPlayer::Stop() {
  if (!musicOn_) return;
  playing_ = false;
  device_.CloseMusic();
}

}  // namespace vec
