#pragma once
// The Win32 views' one way to place a control: its design rectangle (at 96 DPI) laid out at the
// screen's DPI, which a system-DPI-aware program reads once.

#include <windows.h>

namespace orvane {

int ScreenDpi();
// Design is left, top, right, bottom at 96 DPI; so is the result, at the screen's DPI.
RECT ScaledRect(const RECT& design);
int Scaled(int designPixels);

}  // namespace orvane
