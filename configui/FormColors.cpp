#include "configui/FormColors.h"

#include <array>

#include "configui/FormNames.h"
#include "configui/FormTextReader.h"

namespace vec {
namespace {

struct NamedColor {
  std::string_view name;
  uint32_t rgb;
};

// The toolkit's fixed colours; the stored numbers are $00BBGGRR, these are 0xRRGGBB.
constexpr NamedColor kStandardColors[] = {
    {"clBlack", 0x000000},      {"clMaroon", 0x800000},  {"clGreen", 0x008000},
    {"clOlive", 0x808000},      {"clNavy", 0x000080},    {"clPurple", 0x800080},
    {"clTeal", 0x008080},       {"clGray", 0x808080},    {"clSilver", 0xC0C0C0},
    {"clRed", 0xFF0000},        {"clLime", 0x00FF00},    {"clYellow", 0xFFFF00},
    {"clBlue", 0x0000FF},       {"clFuchsia", 0xFF00FF}, {"clAqua", 0x00FFFF},
    {"clWhite", 0xFFFFFF},      {"clLtGray", 0xC0C0C0},  {"clDkGray", 0x808080},
    {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xA6CAF0}, {"clCream", 0xFFFBF0},
    {"clMedGray", 0xA4A0A0},
};

struct SystemColor {
  std::string_view name;
  uint32_t rgb;  // the classic scheme
  PaletteRole role;
};

// Indexed by the system colour number (the low byte of $FF0000nn).
constexpr std::array<SystemColor, 25> kSystemColors{{
    {"clScrollBar", 0xC0C0C0, PaletteRole::None},
    {"clBackground", 0x008080, PaletteRole::None},
    {"clActiveCaption", 0x000080, PaletteRole::Highlight},
    {"clInactiveCaption", 0x808080, PaletteRole::None},
    {"clMenu", 0xC0C0C0, PaletteRole::Window},
    {"clWindow", 0xFFFFFF, PaletteRole::Base},
    {"clWindowFrame", 0x000000, PaletteRole::Shadow},
    {"clMenuText", 0x000000, PaletteRole::WindowText},
    {"clWindowText", 0x000000, PaletteRole::Text},
    {"clCaptionText", 0xFFFFFF, PaletteRole::HighlightedText},
    {"clActiveBorder", 0xC0C0C0, PaletteRole::None},
    {"clInactiveBorder", 0xC0C0C0, PaletteRole::None},
    {"clAppWorkSpace", 0x808080, PaletteRole::None},
    {"clHighlight", 0x000080, PaletteRole::Highlight},
    {"clHighlightText", 0xFFFFFF, PaletteRole::HighlightedText},
    {"clBtnFace", 0xC0C0C0, PaletteRole::Button},
    {"clBtnShadow", 0x808080, PaletteRole::Mid},
    {"clGrayText", 0x808080, PaletteRole::PlaceholderText},
    {"clBtnText", 0x000000, PaletteRole::ButtonText},
    {"clInactiveCaptionText", 0xC0C0C0, PaletteRole::None},
    {"clBtnHighlight", 0xFFFFFF, PaletteRole::Light},
    {"cl3DDkShadow", 0x000000, PaletteRole::Shadow},
    {"cl3DLight", 0xC0C0C0, PaletteRole::Midlight},
    {"clInfoText", 0x000000, PaletteRole::ToolTipText},
    {"clInfoBk", 0xFFFFE1, PaletteRole::ToolTipBase},
}};

FormColor Fixed(uint32_t rgb) {
  return FormColor{0xFF000000u | rgb, PaletteRole::None, false};
}

FormColor System(const SystemColor& c) {
  return FormColor{0xFF000000u | c.rgb, c.role, true};
}

}  // namespace

std::optional<FormColor> FormColorFromName(std::string_view name) {
  for (const auto& c : kStandardColors)
    if (SameNameNoCase(c.name, name)) return Fixed(c.rgb);
  for (const auto& c : kSystemColors)
    if (SameNameNoCase(c.name, name)) return System(c);
  // The toolkit's aliases of system colours.
  if (SameNameNoCase(name, "clBtnHilight") || SameNameNoCase(name, "cl3DHilight"))
    return System(kSystemColors[20]);
  if (SameNameNoCase(name, "clInfoBK")) return System(kSystemColors[24]);
  return std::nullopt;
}

std::optional<FormColor> FormColorFromNumber(int64_t number) {
  if (number < INT32_MIN || number > int64_t{UINT32_MAX}) return std::nullopt;
  const uint32_t bits = static_cast<uint32_t>(number);
  const uint32_t high = bits >> 24;
  if (high == 0x80 || high == 0xFF) {
    const uint32_t index = bits & 0x00FFFFFF;
    if (index >= kSystemColors.size()) return std::nullopt;
    return System(kSystemColors[index]);
  }
  if (high != 0) return std::nullopt;  // clNone, clDefault and other markers
  const uint32_t r = bits & 0xFF, g = (bits >> 8) & 0xFF, b = (bits >> 16) & 0xFF;
  return Fixed((r << 16) | (g << 8) | b);
}

std::optional<FormColor> FormColorFromValue(const FormValue& value) {
  if (const auto* n = value.As<int64_t>()) return FormColorFromNumber(*n);
  if (const auto* id = value.As<FormIdentifier>()) return FormColorFromName(id->name);
  return std::nullopt;
}

}  // namespace vec
