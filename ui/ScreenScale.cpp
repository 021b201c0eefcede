#include "ui/ScreenScale.h"

#include <cstdint>

namespace orvane {

int ScaleToDpi(int designPixels, int dpi) {
  const int64_t scaled = static_cast<int64_t>(designPixels) * dpi;
  const int64_t half = kDesignDpi / 2;
  return static_cast<int>(scaled >= 0 ? (scaled + half) / kDesignDpi : -((-scaled + half) / kDesignDpi));
}

// Each of the four scaled on its own, so that a control keeps its scaled size wherever it stands.
TControlRect ScaleToDpi(const TControlRect& design, int dpi) {
  return {ScaleToDpi(design.left, dpi), ScaleToDpi(design.top, dpi), ScaleToDpi(design.width, dpi),
          ScaleToDpi(design.height, dpi)};
}

}  // namespace orvane
