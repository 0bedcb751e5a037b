#pragma once
// Builds the thumbnail grid's images and titles from its list of picture files.

#include <string>
#include <vector>

#include "graphics/BlendBitmap.h"

namespace vec {

class IPictureMessages;

struct Thumbnails {
  std::vector<BlendBitmap> images;  // pictureWidth x pictureHeight each
  std::vector<std::string> titles;  // UTF-8, one per image
};

// One thumbnail per item that exists and is a picture file (".VEP": its preview, titled with
// the picture's title) or a plain image (".JPG", ".BMP", ".GIF": titled with its file name),
// resampled smoothly to pictureWidth x pictureHeight. Items that are missing or of another
// kind add nothing, so the thumbnails after them move up. An item that exists but cannot be
// read keeps its place with a blank (white) thumbnail; a picture file's failure is also
// reported through `messages` when given.
Thumbnails LoadThumbnails(const std::vector<std::string>& items, int32_t pictureWidth,
                          int32_t pictureHeight, IPictureMessages* messages);

}  // namespace vec
