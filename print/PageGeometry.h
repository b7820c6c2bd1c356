#pragma once

namespace kestrel {

// What a page device tells about itself when a job starts. Positions on a
// device are pixels counted from the first printable pixel, not from the
// paper's corner; the physical offsets say how far that pixel lies from the
// paper's left and top edges.
struct PageGeometry {
  int pixelsPerInchX = 0;
  int pixelsPerInchY = 0;
  int physicalOffsetX = 0;  // pixels from the paper's left edge to the printable area
  int physicalOffsetY = 0;  // pixels from the paper's top edge to the printable area
};

}  // namespace kestrel
