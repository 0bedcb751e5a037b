#pragma once
// The user's own settings file, laid over the package's settings before the slideshow starts.
// Sections: [Setting] (the choices of the Settings dialog and the selected picture),
// [MusicList] (custom music, one path per key) and [Files] (indexes of unchecked pictures).

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "base/Result.h"
#include "base/SpeedTable.h"
#include "package/SaverSettings.h"

namespace vec {

class IniDocument;

// The user settings file of a saver at `ownPath`: the path with its extension (from the last
// '.' of the file name on) replaced by ".ini", when that folder is writable or the file
// already exists there (its name matched ignoring case); otherwise
// $XDG_CONFIG_HOME/vecsaver/<base name>.ini ($XDG_CONFIG_HOME defaults to ~/.config), the
// base name being the file name up to its first '.'.
std::string UserSettingsPath(const std::string& ownPath,
                             const std::function<const char*(const char*)>& env);
std::string UserSettingsPath(const std::string& ownPath);
// The file beside the saver (the first choice above), whatever the folder allows.
std::string UserSettingsPathBeside(const std::string& ownPath);
// Makes the folders above a user settings file that do not exist yet, each private to the
// user (0700), as a new account has no $XDG_CONFIG_HOME/vecsaver/ (nor, on a minimal system,
// ~/.config/). Existing folders are left as they are. The error names the folder that could
// not be made.
Status MakeUserSettingsFolder(const std::string& path);

// Lays a user settings document over the project (Checked entries, show mode, duration,
// sound, music, transitions, display, speed, picture size, custom music).
void ApplyUserSettings(SaverSettings& project, const IniDocument& user);
// The same from a file; a file that is missing or cannot be read changes nothing and is
// returned as the error (callers for whom no file is normal may pass over it).
Status ApplyUserSettingsFile(SaverSettings& project, const std::string& path);
// The same from the user settings file of the run's own path.
Status ApplyUserSettings(SaverSettings& project);

}  // namespace vec
