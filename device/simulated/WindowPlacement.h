#pragma once
// Where the simulated SpeechMike's window goes so that it never covers the tester: beside it
// (right, else left), else below it, else the tester moves to make room. Rectangles are frames
// (decorations included) in screen coordinates.

namespace orvane {

struct TRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int Right() const { return left + width; }  // one past the last column
  int Bottom() const { return top + height; }
  bool Contains(const TRect& other) const {
    return other.left >= left && other.top >= top && other.Right() <= Right() && other.Bottom() <= Bottom();
  }
  bool Overlaps(const TRect& other) const {
    return left < other.Right() && other.left < Right() && top < other.Bottom() && other.top < Bottom();
  }
  bool operator==(const TRect&) const = default;
};

struct TWindowPlacement {
  TRect tester;
  TRect device;
  bool operator==(const TWindowPlacement&) const = default;
};

// Gap between the two windows, in pixels.
inline constexpr int kWindowGap = 8;

// The tester keeps its place when the device fits beside or below it within the screen's work
// area; otherwise both are laid out side by side (or one above the other) from the area's top
// left corner. On a screen too small for both the device keeps to the area's bottom right corner.
TWindowPlacement PlaceDeviceWindow(const TRect& screen, const TRect& tester, int deviceWidth, int deviceHeight);

}  // namespace orvane
