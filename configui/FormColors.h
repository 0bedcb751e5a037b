#pragma once
// Colours as form texts write them: the toolkit's names (clRed, clBtnFace, ...) or numbers
// in the $00BBGGRR layout, where a high byte of $80 or $FF marks a system colour whose
// index is the low byte. System colours keep the palette role they stand for, so the
// widget side can take them from the desktop's palette; the RGB value beside it is the
// classic scheme, used where no palette applies (printing a form without a screen).

#include <cstdint>
#include <optional>
#include <string_view>

namespace vec {

struct FormValue;

// The palette roles that system colours map to; None for system colours with no role.
enum class PaletteRole {
  None,
  Window,
  WindowText,
  Base,
  Text,
  Button,
  ButtonText,
  Highlight,
  HighlightedText,
  ToolTipBase,
  ToolTipText,
  Light,
  Midlight,
  Mid,
  Shadow,
  PlaceholderText,
};

struct FormColor {
  uint32_t argb = 0xFF000000;  // opaque 0xAARRGGBB
  PaletteRole role = PaletteRole::None;
  bool isSystem = false;

  bool operator==(const FormColor&) const = default;
};

// A colour by its toolkit name, ignoring case ("clBtnFace", "clred"); nullopt for an
// unknown name and for clNone / clDefault, which mean "no colour of its own".
std::optional<FormColor> FormColorFromName(std::string_view name);

// A colour from its stored number: $00BBGGRR, or a system colour index with the high
// byte $80 or $FF. Negative numbers are read as their 32-bit pattern (-16777201 is
// $FF00000F, clBtnFace). nullopt for clNone ($1FFFFFFF), clDefault ($20000000), an
// unknown system index or a number outside 32 bits.
std::optional<FormColor> FormColorFromNumber(int64_t number);

// Either of the above, by the value's kind; nullopt for any other kind of value.
std::optional<FormColor> FormColorFromValue(const FormValue& value);

}  // namespace vec
