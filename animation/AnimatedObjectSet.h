#pragma once
// The live animated objects of the picture on screen.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "animation/AnimatedObject.h"
#include "picture/ObjectKeys.h"

namespace vec::anim {

// The live objects of a picture, in drawing order; owns them.
class AnimatedObjectSet {
 public:
  AnimatedObjectSet() = default;
  ~AnimatedObjectSet();
  AnimatedObjectSet(const AnimatedObjectSet&) = delete;
  AnimatedObjectSet& operator=(const AnimatedObjectSet&) = delete;

  // Frees all objects and makes one for every section "Obj" + n (n = 0 .. number of
  // sections - 1) whose "ObjType" is "GIF" or "IMG".
  void Load(std::string_view text);
  // The same from keys already read.
  void LoadData(const std::vector<ObjectKeys>& entries);
  void Clear();
  void StopAll();
  // One step of every object, in list order (offline rendering).
  void StepAll();

  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  AnimatedObject& operator[](int32_t i) { return *items_[static_cast<size_t>(i)]; }
  const AnimatedObject& operator[](int32_t i) const { return *items_[static_cast<size_t>(i)]; }
  void Add(std::unique_ptr<AnimatedObject> obj) { items_.push_back(std::move(obj)); }

 private:
  std::vector<std::unique_ptr<AnimatedObject>> items_;
};

}  // namespace vec::anim
