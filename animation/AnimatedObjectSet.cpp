#include "animation/AnimatedObjectSet.h"

#include "animation/ImageObjects.h"

namespace vec::anim {

namespace {
// A picture file cannot make more live objects than this.
constexpr size_t kMaxObjects = 256;
}  // namespace

AnimatedObjectSet::~AnimatedObjectSet() {
  Clear();
}

void AnimatedObjectSet::Clear() {
  StopAll();
  items_.clear();
}

void AnimatedObjectSet::StopAll() {
  for (auto& o : items_) o->Stop();
}

void AnimatedObjectSet::StepAll() {
  for (auto& o : items_) o->Step();
}

void AnimatedObjectSet::Load(std::string_view text) {
  vec::ObjectKeysList parsed;
  parsed.Load(text);
  LoadData(parsed.entries);
}

void AnimatedObjectSet::LoadData(const std::vector<ObjectKeys>& entries) {
  Clear();
  for (const ObjectKeys& e : entries) {
    if (items_.size() >= kMaxObjects) break;
    std::unique_ptr<AnimatedObject> obj;
    if (e.type == ObjectType::Gif)
      obj = std::make_unique<GifObject>(e.sectionNumber);
    else
      obj = std::make_unique<ImageObject>(e.sectionNumber);
    obj->LoadData(e);
    items_.push_back(std::move(obj));
  }
}

}  // namespace vec::anim
