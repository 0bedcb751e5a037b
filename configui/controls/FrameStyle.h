#pragma once
// The border of a grid or memo as the form text gives it (BorderStyle and Ctl3D).

#include <cstdint>

class QFrame;

namespace vec {

enum class FrameBorder { None, Single };

// None: no border. Single: a sunken 2-pixel 3-D border with Ctl3D, a plain 1-pixel line
// without it.
void ApplyFrameStyle(QFrame& frame, FrameBorder style, bool ctl3D);

}  // namespace vec
