#pragma once
// What a configuration window keeps in the user settings file: the current picture
// ("Index" of section "Setting") and the pictures left out of the favourites (one empty key
// per unchecked picture, named by its index, in section "Files").

#include <cstdint>
#include <vector>

namespace vec {

class IniDocument;

// `index` kept within the pictures: past the last picture gives the last, then below 0
// gives 0 (so no pictures give 0).
int32_t ClampPictureIndex(int32_t index, int32_t pictureCount);

// The index a window starts on: "Index" (0 when absent or not an integer), or 0 when it
// exceeds the number of pictures. An index equal to the count is kept; the selection clamps
// it to the last picture.
int32_t ReadStartIndex(const IniDocument& user, int32_t pictureCount);

// The favourites' check marks: every picture ticked except those whose index, written in
// decimal, is exactly a key of section "Files".
std::vector<bool> ReadFavourites(const IniDocument& user, int32_t pictureCount);

// Writes "Index" and rewrites section "Files" from the check marks: the section erased, then
// one key with an empty value for each unticked picture.
void WriteCurrentIndex(IniDocument& user, int32_t index);
void WriteFavourites(IniDocument& user, const std::vector<bool>& ticked);

}  // namespace vec

#include <string>
#include <string_view>

namespace vec {

// Whether the application title becomes the product name: a saver file whose name ends in
// ".scr" (in any case), or a first argument that is exactly "/C" (not upper-cased, unlike the
// settings access rule).
bool UsesProductNameAsTitle(std::string_view ownPath, std::string_view firstArgument);

}  // namespace vec
