#include "ui/win32/ScreenScaleWin32.h"

#include "ui/ScreenScale.h"

namespace orvane {

int ScreenDpi() {
  static const int dpi = [] {
    HDC screen = GetDC(nullptr);
    const int value = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kDesignDpi;
    if (screen) ReleaseDC(nullptr, screen);
    return value > 0 ? value : kDesignDpi;
  }();
  return dpi;
}

RECT ScaledRect(const RECT& design) {
  const TControlRect r = ScaleToDpi(
      TControlRect{design.left, design.top, design.right - design.left, design.bottom - design.top}, ScreenDpi());
  return RECT{r.left, r.top, r.left + r.width, r.top + r.height};
}

int Scaled(int designPixels) { return ScaleToDpi(designPixels, ScreenDpi()); }

}  // namespace orvane
