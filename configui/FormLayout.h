#pragma once
// Where the controls of one container go when the container takes a size: aligned
// controls are stacked along the edges in the toolkit's order (top, bottom, left, right,
// then client fills what is left), the others follow their anchors relative to the size
// the container was designed at. Qt-free: rectangles in, rectangles out.

#include <string>
#include <string_view>
#include <vector>

namespace vec {

struct FormRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  int right() const { return left + width; }
  int bottom() const { return top + height; }
  bool operator==(const FormRect&) const = default;
};

enum class FormAlign { None, Top, Bottom, Left, Right, Client, Custom };

// Anchor bits; the toolkit's default is left and top.
struct FormAnchors {
  bool left = true;
  bool top = true;
  bool right = false;
  bool bottom = false;

  bool operator==(const FormAnchors&) const = default;
};

struct ChildLayout {
  FormRect design;  // the rectangle written in the form text
  FormAlign align = FormAlign::None;
  FormAnchors anchors;
  bool visible = true;  // hidden aligned controls take no room
};

// alTop .. alCustom, ignoring case; None for anything else.
FormAlign FormAlignFromName(std::string_view name);
// Members akLeft, akTop, akRight, akBottom of an Anchors set.
FormAnchors FormAnchorsFromMembers(const std::vector<std::string>& members);

// The rectangles of `children` (same order) in a container whose client area, designed
// at `designWidth` x `designHeight`, is now `width` x `height`. Aligned controls of one
// kind are placed in the order of their design position (top to bottom for alTop, bottom
// to top for alBottom, and so on), ties in child order.
std::vector<FormRect> LayoutChildren(const std::vector<ChildLayout>& children, int designWidth,
                                     int designHeight, int width, int height);

}  // namespace vec
