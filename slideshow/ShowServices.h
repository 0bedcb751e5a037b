#pragma once
// What the slideshow form works with besides its display and clock: the settings it
// copies at start, and narrow interfaces over the picture loaders, the animation engine,
// the sound-effect schedule, the music and the message box. The program wires the real
// ones (ShowAdapters.h); tests and the offline renderer give their own.

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/BlendBitmap.h"
#include "graphics/BottomUpBitmap.h"
#include "package/SaverSettings.h"

namespace vec {

class Picture;

// The settings the show reads: the saver's settings (with the user's laid over them) and
// its picture list, copied once when the show starts, and the run's folder.
struct SlideshowOptions : ShowSettings {
  std::vector<std::string> FileNames;  // full paths
  std::vector<std::string> Checked;    // "TRUE" / "FALSE", parallel to FileNames
  std::string TempFolder;              // the run's temporary folder, with a trailing '/'
};

// Reading pictures from disk.
class IPictureFiles {
 public:
  virtual ~IPictureFiles() = default;
  virtual bool FileExists(const std::string& path) = 0;
  // A plain JPEG, BMP or GIF (first frame) file; false when it cannot be decoded.
  virtual bool LoadStill(const std::string& path, BlendBitmap& out) = 0;
  // A picture file into `picture`; false when it cannot be read or does not parse (the
  // show then passes over it).
  virtual bool LoadPicture(const std::string& path, Picture& picture) = 0;
  virtual void FitPicture(bool keepAspect, Picture& picture, int32_t width, int32_t height) = 0;
};

// The water animation engine, as the show drives it.
class IPictureEngine {
 public:
  virtual ~IPictureEngine() = default;
  // Takes a freshly loaded picture: set picture, weather off, start, weather on when the
  // picture has weather.
  virtual void Begin(Picture& picture) = 0;
  virtual void Step() = 0;
  // The current frame (water, objects and weather).
  virtual const BlendBitmap& Frame() = 0;
  // The picture under the animation, whose size centres transitions.
  virtual const BottomUpBitmap& Background() = 0;
  // Draws the still picture back into the frame (F1).
  virtual void RestoreBackground() = 0;
  // Lets go of the picture (its objects stop) before it is reloaded or freed.
  virtual void End() = 0;
};

// The picture's sound effects (load registers the slots and plays what is due at once).
class IShowSounds {
 public:
  virtual ~IShowSounds() = default;
  virtual void Load(Picture& picture) = 0;
  virtual void Update() = 0;
  virtual void Clear() = 0;
};

// The background music.
class IShowMusic {
 public:
  virtual ~IShowMusic() = default;
  virtual void Start(const SlideshowOptions& settings) = 0;
  // The player's notification (a file may have played to its end).
  virtual void Notify() = 0;
  virtual void Stop() = 0;
};

class IShowMessages {
 public:
  virtual ~IShowMessages() = default;
  // A modal error box with one OK button.
  virtual void ShowError(const std::string& text) = 0;
};

}  // namespace vec
