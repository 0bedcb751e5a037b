#pragma once
// The user's own settings file, laid over the package's settings before the slideshow starts.
// Sections: [Setting] (the choices of the Settings dialog and the selected picture),
// [MusicList] (custom music, one path per key) and [Files] (indexes of unchecked pictures).

#include <sys/types.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "base/Ini.h"
#include "base/Result.h"
#include "base/SpeedTable.h"
#include "package/SaverSettings.h"

namespace vec {

// Where one user's settings of the saver at `ownPath` are read from and saved to.
//
// A saver in a folder of the user's own (owned by them, writable, and not a system location)
// keeps them beside it: the path with its extension (from the last '.' of the file name on)
// replaced by ".ini", or an existing file of that name matched ignoring case. Every other
// saver (one installed under /usr, another user's) keeps each user's settings, root's too,
// in $XDG_CONFIG_HOME/vecsaver/<base name>.ini ($XDG_CONFIG_HOME defaults to ~/.config), the
// base name being the file name up to its first '.'; a file already beside such a saver is
// read while the user has none of their own, and never written.
struct UserSettingsFiles {
  std::string file;      // the user's own file: read when it exists, and always the one saved
  std::string fallback;  // read while `file` does not exist (a file left beside a saver the
                         // user does not own); empty when there is none
  // The file whose choices apply now: `file` once it exists, else `fallback` when set.
  std::string Current() const;
};
UserSettingsFiles LocateUserSettings(const std::string& ownPath,
                                     const std::function<const char*(const char*)>& env,
                                     uid_t user);
// The same for this process's user and environment.
UserSettingsFiles LocateUserSettings(const std::string& ownPath);
// The file beside the saver (the first choice above), whatever the folder allows.
std::string UserSettingsPathBeside(const std::string& ownPath);

// Reads the user's settings document (Current()), lets `edit` change it, and saves it whole
// as `file`: the keys it does not touch (other sections, comments, line order) are kept, the
// first save of a user who had only the fallback file starts from that file, the configuration
// folder is made (mode 0700) when missing, and the file is replaced whole or not at all. An
// existing file that cannot be read is not replaced, since its other keys would be lost; the
// error says so.
Status UpdateUserSettings(const UserSettingsFiles& files,
                          const std::function<void(IniDocument&)>& edit);
// The user's settings document as it stands; empty when there is none. An existing file that
// cannot be read is an error.
ErrorOr<IniDocument> ReadUserSettings(const UserSettingsFiles& files);

// Lays a user settings document over the settings (Checked entries, show mode, duration,
// sound, music, transitions, display, speed, picture size, custom music).
void ApplyUserSettings(SaverSettings& settings, const IniDocument& user);
// The same from a file; a file that is missing or cannot be read changes nothing and is
// returned as the error (callers for whom no file is normal may pass over it).
Status ApplyUserSettingsFile(SaverSettings& settings, const std::string& path);
// The same from the user settings of the run's own path.
Status ApplyUserSettings(SaverSettings& settings);

}  // namespace vec
