#pragma once
// Making a picture the desktop wallpaper: the picture is saved as a Windows bitmap beside the
// saver (its own path with ".bmp" appended) when the saver lies in a folder of the user's own,
// else under $XDG_DATA_HOME/vecsaver/, and the running desktop is told to show that file centred,
// not tiled. The desktop keeps the choice for the user.
//
// Entry point for the "set as wallpaper" action, after the user confirmed:
//   auto done = SetWallpaper(picture, OwnPath());
//   if (!done) show done.error().message;

#include <string>
#include <string_view>
#include <vector>

#include "base/Result.h"
#include "graphics/BlendBitmap.h"
#include "graphics/BottomUpBitmap.h"

namespace vec {

// The desktop (or the tool) that was told to show the file.
enum class WallpaperSetter { None, Gnome, Cinnamon, Mate, Xfce, Plasma, Feh, Xwallpaper };

std::string_view WallpaperSetterName(WallpaperSetter setter);

struct WallpaperReport {
  std::string file;  // where the bitmap was written
  WallpaperSetter setter = WallpaperSetter::None;
  // Every program run, as its argument list (program name first), in order.
  std::vector<std::vector<std::string>> commands;
  // Whether the desktop accepted the file; false when no desktop or tool was found (the file
  // is written all the same) or when the programs reported a failure.
  bool applied = false;
};

// The wallpaper file beside the saver: its own path with ".bmp" appended.
std::string WallpaperPathBeside(const std::string& ownPath);
// The same file name in $XDG_DATA_HOME/vecsaver/ ($XDG_DATA_HOME defaults to
// ~/.local/share).
std::string WallpaperFallbackPath(const std::string& ownPath);

// A "file://" address of an absolute path, every byte outside the unreserved characters and
// "/" written as %XX.
std::string FileUri(std::string_view path);

// The setter for a desktop list as $XDG_CURRENT_DESKTOP gives it ("ubuntu:GNOME",
// "X-Cinnamon", "XFCE", "KDE", ...): the first entry that names a known desktop. None when
// none does.
WallpaperSetter DesktopSetter(std::string_view currentDesktop);

// Saves a copy of the picture (its fourth byte made opaque, so no reader takes the picture
// for transparent) as a 32-bit BMP, whole or not at all, then tells the desktop named by
// $XDG_CURRENT_DESKTOP, or else feh or xwallpaper when one is installed, to show it centred.
// Programs run without a shell, the path always one argument. An empty picture or a file
// that can be written nowhere is an error; a desktop that refuses is not (see `applied`).
ErrorOr<WallpaperReport> SetWallpaper(const BlendBitmap& picture, const std::string& ownPath);
ErrorOr<WallpaperReport> SetWallpaper(const BottomUpBitmap& picture, const std::string& ownPath);

}  // namespace vec
