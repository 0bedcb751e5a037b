#include "configui/FormFonts.h"

#include "configui/FormNames.h"
#include "configui/FormTextReader.h"

namespace vec {
namespace {

// Font sizes beyond this are damaged input; they are clamped so no widget is asked for
// a font taller than any screen.
constexpr int64_t kMaxFontSize = 1000;

int ClampSize(int64_t v) {
  if (v < 1) return 1;
  if (v > kMaxFontSize) return static_cast<int>(kMaxFontSize);
  return static_cast<int>(v);
}

void ApplyStyle(const FormSet& set, FormFont& font) {
  font.bold = font.italic = font.underline = font.strikeOut = false;
  for (const auto& m : set.members) {
    if (SameNameNoCase(m, "fsBold")) font.bold = true;
    if (SameNameNoCase(m, "fsItalic")) font.italic = true;
    if (SameNameNoCase(m, "fsUnderline")) font.underline = true;
    if (SameNameNoCase(m, "fsStrikeOut")) font.strikeOut = true;
  }
}

}  // namespace

FormFont ResolveFormFont(const FormObject& object, const FormFont& inherited) {
  FormFont font = inherited;
  for (const FormProperty& p : object.properties) {
    const FormValue& v = p.value;
    if (SameNameNoCase(p.path, "Font.Name")) {
      if (const auto* s = v.As<std::string>(); s && !s->empty()) font.family = *s;
    } else if (SameNameNoCase(p.path, "Font.Height")) {
      const auto* n = v.As<int64_t>();
      if (!n || *n == 0) continue;
      if (*n < 0) {
        font.pixelSize = ClampSize(-*n);
        font.pointSize = 0;
      } else {
        font.pointSize = ClampSize((*n * 3 + 2) / 4);
        font.pixelSize = 0;
      }
    } else if (SameNameNoCase(p.path, "Font.Size")) {
      const auto* n = v.As<int64_t>();
      if (!n || *n == 0) continue;
      font.pointSize = ClampSize(*n < 0 ? -*n : *n);
      font.pixelSize = 0;
    } else if (SameNameNoCase(p.path, "Font.Style")) {
      if (const auto* set = v.As<FormSet>()) ApplyStyle(*set, font);
    } else if (SameNameNoCase(p.path, "Font.Color")) {
      if (auto c = FormColorFromValue(v)) font.color = *c;
    }
  }
  return font;
}

}  // namespace vec
