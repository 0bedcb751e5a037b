#include "configui/FormLayout.h"

#include <algorithm>
#include <numeric>

#include "configui/FormNames.h"

namespace vec {

FormAlign FormAlignFromName(std::string_view name) {
  struct Entry {
    std::string_view name;
    FormAlign align;
  };
  constexpr Entry kNames[] = {{"alNone", FormAlign::None},     {"alTop", FormAlign::Top},
                              {"alBottom", FormAlign::Bottom}, {"alLeft", FormAlign::Left},
                              {"alRight", FormAlign::Right},   {"alClient", FormAlign::Client},
                              {"alCustom", FormAlign::Custom}};
  for (const auto& e : kNames)
    if (SameNameNoCase(e.name, name)) return e.align;
  return FormAlign::None;
}

FormAnchors FormAnchorsFromMembers(const std::vector<std::string>& members) {
  FormAnchors a{false, false, false, false};
  for (const auto& m : members) {
    if (SameNameNoCase(m, "akLeft")) a.left = true;
    if (SameNameNoCase(m, "akTop")) a.top = true;
    if (SameNameNoCase(m, "akRight")) a.right = true;
    if (SameNameNoCase(m, "akBottom")) a.bottom = true;
  }
  return a;
}

namespace {

// One axis of an anchored control. With both anchors the control stretches; with the far
// one only it keeps its distance to the far edge; with neither it keeps its centre at the
// same fraction of the container.
void AnchorAxis(bool nearAnchor, bool farAnchor, int designPos, int designSize, int designSpan,
                int span, int& pos, int& size) {
  const int delta = span - designSpan;
  pos = designPos;
  size = designSize;
  if (nearAnchor && farAnchor) {
    size = std::max(0, designSize + delta);
  } else if (farAnchor) {
    pos = designPos + delta;
  } else if (!nearAnchor && designSpan > 0) {
    const long long centre2 = 2LL * designPos + designSize;  // twice the centre
    pos = static_cast<int>((centre2 * span / designSpan - designSize) / 2);
  }
}

// The written coordinate by which aligned controls of one kind are ordered.
int OrderKey(const ChildLayout& c) {
  switch (c.align) {
    case FormAlign::Top:
      return c.design.top;
    case FormAlign::Bottom:
      return -c.design.bottom();
    case FormAlign::Left:
      return c.design.left;
    case FormAlign::Right:
      return -c.design.right();
    default:
      return 0;
  }
}

}  // namespace

std::vector<FormRect> LayoutChildren(const std::vector<ChildLayout>& children, int designWidth,
                                     int designHeight, int width, int height) {
  std::vector<FormRect> out(children.size());
  for (size_t i = 0; i < children.size(); ++i) {
    const ChildLayout& c = children[i];
    FormRect& r = out[i];
    AnchorAxis(c.anchors.left, c.anchors.right, c.design.left, c.design.width, designWidth, width,
               r.left, r.width);
    AnchorAxis(c.anchors.top, c.anchors.bottom, c.design.top, c.design.height, designHeight, height,
               r.top, r.height);
  }

  // The space aligned controls have not taken yet.
  int left = 0, top = 0, right = std::max(0, width), bottom = std::max(0, height);
  std::vector<size_t> order(children.size());
  std::iota(order.begin(), order.end(), size_t{0});
  for (FormAlign kind :
       {FormAlign::Top, FormAlign::Bottom, FormAlign::Left, FormAlign::Right, FormAlign::Client}) {
    std::vector<size_t> these;
    for (size_t i : order)
      if (children[i].align == kind && children[i].visible) these.push_back(i);
    std::stable_sort(these.begin(), these.end(), [&](size_t a, size_t b) {
      return OrderKey(children[a]) < OrderKey(children[b]);
    });
    for (size_t i : these) {
      const FormRect& d = children[i].design;
      const int freeW = std::max(0, right - left), freeH = std::max(0, bottom - top);
      FormRect& r = out[i];
      switch (kind) {
        case FormAlign::Top:
          r = {left, top, freeW, std::min(d.height, freeH)};
          top += r.height;
          break;
        case FormAlign::Bottom:
          r = {left, bottom - std::min(d.height, freeH), freeW, std::min(d.height, freeH)};
          bottom -= r.height;
          break;
        case FormAlign::Left:
          r = {left, top, std::min(d.width, freeW), freeH};
          left += r.width;
          break;
        case FormAlign::Right:
          r = {right - std::min(d.width, freeW), top, std::min(d.width, freeW), freeH};
          right -= r.width;
          break;
        default:
          r = {left, top, freeW, freeH};
          break;
      }
    }
  }
  return out;
}

}  // namespace vec
