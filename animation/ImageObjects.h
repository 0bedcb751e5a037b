#pragma once
// The two kinds of animated object: still images and animated GIFs.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "animation/AnimatedObject.h"

namespace vec::anim {

// Common to still and animated images: the key colour and the transparency keys.
class KeyedImageObject : public AnimatedObject {
 public:
  using AnimatedObject::AnimatedObject;
  void Reset() override;
  // Pixel treated as transparent by the combine.
  Pixel KeyColor() const { return keyColor_; }

 protected:
  // Gives a frame its combine, master alpha and stretch filter.
  void PrepareFrame(BlendBitmap& bmp, bool useKey) const;
  Pixel keyColor_ = 0;
};

class ImageObject final : public KeyedImageObject {
 public:
  using KeyedImageObject::KeyedImageObject;
  ~ImageObject() override;

 protected:
  std::shared_ptr<const ObjectFrames> LoadImage(const std::string& path) override;
};

class GifObject final : public KeyedImageObject {
 public:
  using KeyedImageObject::KeyedImageObject;
  ~GifObject() override;
  void Reset() override;
  void Stop() override;
  // Frame shown `ms` after the start of playback, with AnimSpeed applied.
  size_t FrameAt(uint32_t ms) const;
  bool Painting() const { return painting_; }

 protected:
  std::shared_ptr<const ObjectFrames> LoadImage(const std::string& path) override;
  void AdvanceFrame(uint32_t now) override;

 private:
  uint32_t paintStart_ = 0;
  bool painting_ = false;
};

}  // namespace vec::anim
