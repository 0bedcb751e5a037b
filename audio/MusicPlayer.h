#pragma once
// Background music of the show: the files of `MusicFile`, played one after another in list
// order or at random, without end. The music device plays one file at a time; its
// end-of-file notification, drained from the main loop, moves on to the next file.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "audio/AudioDevice.h"

namespace vec {

// Cuts `musicFile` at every ";", skipping empty pieces; a piece without a folder part
// ("\" or "/") is taken from the temporary folder (matching case-insensitively when the
// exact name is missing), one with a folder is kept as it is unless no such file exists and
// the temporary folder holds a file of its name.
std::vector<std::string> BuildMusicList(std::string_view musicFile, const std::string& tempFolder);

// Moves `index` to the next entry of a list of `count` files: the next one in list order
// (wrapping to 0) for any mode but 0; for mode 0 a random entry other than the current one
// (0 when the list has fewer than two entries).
void NextMusicIndex(int32_t& index, int32_t musicMode, int32_t count);

class MusicPlayer {
 public:
  explicit MusicPlayer(IMusicDevice& device) : device_(device) {}
  // Closes the music device when music was started.
  ~MusicPlayer();
  MusicPlayer(const MusicPlayer&) = delete;
  MusicPlayer& operator=(const MusicPlayer&) = delete;

  // Starts the first file. With `music` off or an empty `musicFile` nothing is opened. A
  // first file that cannot be opened means no music for this run.
  void Start(bool music, std::string_view musicFile, int32_t musicMode,
             const std::string& tempFolder);

  // The device's notification: when the file has played to its end, the next file starts
  // (files that cannot be opened are skipped; when none opens, the music stops for good).
  // In every case the notification is armed again.
  void MusicFinished();

  // Handles every notification the device has queued; call from the main loop.
  void PollNotifications();

  // Stops and closes the music; later notifications change nothing.
  void Stop();

  bool MusicOn() const { return musicOn_; }
  bool Playing() const { return playing_; }
  const std::vector<std::string>& MusicList() const { return musicList_; }
  int32_t MusicIndex() const { return musicIndex_; }
  int32_t MusicMode() const { return musicMode_; }

 private:
  bool OpenAndPlay(int32_t index);
  int32_t Count() const { return static_cast<int32_t>(musicList_.size()); }

  IMusicDevice& device_;
  bool musicOn_ = false;
  bool playing_ = false;  // a file was started and the music has not been given up
  std::vector<std::string> musicList_;
  int32_t musicMode_ = 0;
  int32_t musicIndex_ = -1;
};

}  // namespace vec
