#pragma once
// Conversions of form values to the toolkit's types: colours against the application's
// palette, fonts, Windows-1252 texts, and the pixels of picture properties.

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>
#include <string_view>
#include <vector>

#include "base/Result.h"
#include "configui/FormColors.h"
#include "configui/FormFonts.h"
#include "configui/FormTextReader.h"
#include "graphics/BlendBitmap.h"

namespace vec {

// A system colour takes the palette's colour of its role; others their own value.
QColor ToQColor(const FormColor& color, const QPalette& palette);
// The same as an opaque 0xAARRGGBB pixel, for the controls that paint their own bitmaps.
Pixel ToPixel(const FormColor& color, const QPalette& palette);
QFont ToQFont(const FormFont& font);
QString FormTextToQString(std::string_view cp1252);
// A caption as a plain text shows it: "&&" is one ampersand, a single one marks the next
// letter as the accelerator and is not shown.
QString StripAccelerators(const QString& caption);

// The pixels of a decoded picture property: BMP, JPEG and GIF through our own image
// readers (made opaque), other kinds Qt reads (PNG, icons) through Qt with their alpha. An
// empty picture, or a kind neither reads (metafiles), gives an empty bitmap.
BlendBitmap PictureBitmap(const PictureData& picture);
// The Data of a picture property (ButtonUp.Data, ...) decoded and read as above; data that
// does not hold the picture it names is DecodePictureData's error.
ErrorOr<BlendBitmap> PictureBitmapOf(const std::vector<uint8_t>& data);

}  // namespace vec
