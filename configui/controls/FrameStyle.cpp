#include "configui/controls/FrameStyle.h"

#include <QFrame>

namespace vec {

void ApplyFrameStyle(QFrame& frame, FrameBorder style, bool ctl3D) {
  if (style == FrameBorder::None) {
    frame.setFrameStyle(QFrame::NoFrame);
    return;
  }
  if (ctl3D) {
    frame.setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame.setLineWidth(2);
  } else {
    frame.setFrameStyle(QFrame::Box | QFrame::Plain);
    frame.setLineWidth(1);
  }
}

}  // namespace vec
