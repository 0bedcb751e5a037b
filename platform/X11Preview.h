#pragma once
// The preview mode: the saver's preview picture stretched into a window of another program
// (the settings dialog's small monitor), drawn with Xlib so that it stays after we exit.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vec {

// A window id in decimal as the command line gives it; nullopt for anything else.
std::optional<uint64_t> ParsePreviewWindow(std::string_view text);

// How long the preview waits for its window to be shown.
inline constexpr int kPreviewWaitMs = 5000;

enum class PreviewResult { Drawn, BadWindowId, NoDisplay, WindowGone, NotShown, BadPicture };

// Draws the JPEG file `previewFile` stretched over the whole window named by `modeArgument`.
// Waits (bounded by `waitMs`) while the window is not yet shown. Nothing is drawn for a
// window id that is not a decimal number, a window that never shows, or a picture the JPEG
// decoder rejects.
PreviewResult DrawPreviewFile(const std::string& previewFile, std::string_view modeArgument,
                              int waitMs = kPreviewWaitMs);

}  // namespace vec
