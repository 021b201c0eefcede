#include "device/simulated/WindowPlacement.h"

#include <algorithm>
#include <optional>

namespace orvane {
namespace {

// Moves a span of `size` starting at `start` into [low, high), as far as it fits.
int Clamp(int start, int size, int low, int high) { return std::max(low, std::min(start, high - size)); }

// The device beside the tester (right, else left), its top level with the tester's, else below
// it, its left level with the tester's; nothing when neither fits on the screen.
std::optional<TRect> BesideOrBelow(const TRect& screen, const TRect& tester, int width, int height) {
  const int top = Clamp(tester.top, height, screen.top, screen.Bottom());
  const int left = Clamp(tester.left, width, screen.left, screen.Right());
  const TRect candidates[] = {{tester.Right() + kWindowGap, top, width, height},
                              {tester.left - kWindowGap - width, top, width, height},
                              {left, tester.Bottom() + kWindowGap, width, height}};
  for (const TRect& candidate : candidates)
    if (screen.Contains(candidate) && !candidate.Overlaps(tester)) return candidate;
  return std::nullopt;
}

}  // namespace

TWindowPlacement PlaceDeviceWindow(const TRect& screen, const TRect& tester, int deviceWidth, int deviceHeight) {
  if (auto device = BesideOrBelow(screen, tester, deviceWidth, deviceHeight)) return {tester, *device};
  TRect moved{screen.left, screen.top, tester.width, tester.height};
  if (auto device = BesideOrBelow(screen, moved, deviceWidth, deviceHeight)) return {moved, *device};
  return {moved, {screen.Right() - deviceWidth, screen.Bottom() - deviceHeight, deviceWidth, deviceHeight}};
}

}  // namespace orvane
