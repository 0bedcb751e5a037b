#pragma once
// Conversions of form values to the toolkit's types: colours against the application's
// palette, fonts, and Windows-1252 texts.

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>
#include <string_view>

#include "configui/FormColors.h"
#include "configui/FormFonts.h"

namespace vec {

// A system colour takes the palette's colour of its role; others their own value.
QColor ToQColor(const FormColor& color, const QPalette& palette);
QFont ToQFont(const FormFont& font);
QString FormTextToQString(std::string_view cp1252);
// A caption as a plain text shows it: "&&" is one ampersand, a single one marks the next
// letter as the accelerator and is not shown.
QString StripAccelerators(const QString& caption);

}  // namespace vec
