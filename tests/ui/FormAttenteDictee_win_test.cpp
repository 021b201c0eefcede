#include <windows.h>
#include <commctrl.h>

#include <string>

#include <gtest/gtest.h>

#include "platform/TextConversion.h"
#include "ui/FormAttenteDictee.h"
#include "ui/ScreenScale.h"
#include "ui/win32/FormAttenteDicteeWin32.h"

namespace orvane {
namespace {

std::string Text(HWND window) {
  wchar_t buffer[256] = {};
  GetWindowTextW(window, buffer, 256);
  return WideToUtf8(buffer);
}

// A design length (96 DPI) at the screen's DPI: run at 144 DPI too (the CTest entry
// win.FormAttenteDicteeWin32.At144Dpi), the window and its controls are 1.5 times as large.
int ScreenDpiNow() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

int Scaled(int design) { return ScaleToDpi(design, ScreenDpiNow()); }

// The child at a design place of the client area, as the window lays its controls out.
HWND ChildAt(HWND window, int x, int y) {
  POINT point{Scaled(x), Scaled(y)};
  return ChildWindowFromPointEx(window, point, CWP_SKIPTRANSPARENT);
}

TEST(FormAttenteDicteeWin32, DrawsTheLinesAndTheBarThePresenterHolds) {
  // The screen's DPI as Orvane.exe, system DPI aware by its manifest, sees it.
  SetProcessDPIAware();
  TFormAttenteDictee form;
  HWND window = FormAttenteDicteeWindow(form.View());
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(Text(window), "Processus en cours...");
  EXPECT_EQ(GetWindowLongPtrW(window, GWL_STYLE) & WS_SYSMENU, 0);
  RECT outer{};
  GetWindowRect(window, &outer);
  EXPECT_EQ(outer.right - outer.left, Scaled(405));
  EXPECT_EQ(outer.bottom - outer.top, Scaled(266));

  form.ShowWaiting(false);
  form.SetTexts("", "Pilotes du micro/pédalier Philips SpeechMike", "");
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(Text(ChildAt(window, 60, 50)), "Un instant s.v.p.");
  EXPECT_EQ(Text(ChildAt(window, 20, 150)), "Non disponible");
  EXPECT_EQ(Text(ChildAt(window, 20, 174)), "Pilotes du micro/pédalier Philips SpeechMike");

  form.StartProgress(nullptr);
  HWND bar = ChildAt(window, 10, 215);
  ASSERT_NE(bar, window);
  RECT barPlace{};
  GetWindowRect(bar, &barPlace);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&barPlace), 2);
  EXPECT_EQ(ScaleToDpi(TControlRect{2, 210, 393, 17}, ScreenDpiNow()),
            (TControlRect{barPlace.left, barPlace.top, barPlace.right - barPlace.left, barPlace.bottom - barPlace.top}));
  EXPECT_TRUE(IsWindowVisible(bar));
  bool cancel = false;
  form.DownloadProgress(nullptr, 1024000, 4096000, 5, "", cancel);
  EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 250);
  EXPECT_EQ(SendMessageW(bar, PBM_GETBARCOLOR, 0, 0), static_cast<LRESULT>(RGB(40, 211, 0)));

  form.Close();
  EXPECT_FALSE(IsWindowVisible(bar));
  EXPECT_FALSE(IsWindowVisible(window));
}

}  // namespace
}  // namespace orvane
