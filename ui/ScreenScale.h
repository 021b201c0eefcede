#pragma once
// The windows are designed at 96 DPI. A system-DPI-aware program lays each control out at the
// screen's DPI: position and size scaled alike, rounded to the nearest pixel (half away from zero).

namespace orvane {

inline constexpr int kDesignDpi = 96;

// A control's place in the window's client area.
struct TControlRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const TControlRect&) const = default;
};

int ScaleToDpi(int designPixels, int dpi);
TControlRect ScaleToDpi(const TControlRect& design, int dpi);

}  // namespace orvane
