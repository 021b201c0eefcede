#include <windows.h>
#include <commctrl.h>

#include <string>

#include <gtest/gtest.h>

#include "common/TextConversion.h"
#include "ui/FormAttenteDictee.h"
#include "ui/win32/FormAttenteDicteeWin32.h"

namespace orvane {
namespace {

std::string Text(HWND window) {
  wchar_t buffer[256] = {};
  GetWindowTextW(window, buffer, 256);
  return WideToUtf8(buffer);
}

// The child at a place of the client area, as the window lays its controls out.
HWND ChildAt(HWND window, int x, int y) {
  POINT point{x, y};
  return ChildWindowFromPointEx(window, point, CWP_SKIPTRANSPARENT);
}

TEST(FormAttenteDicteeWin32, DrawsTheLinesAndTheBarThePresenterHolds) {
  TFormAttenteDictee form;
  HWND window = FormAttenteDicteeWindow(form.View());
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(Text(window), "Processus en cours...");
  EXPECT_EQ(GetWindowLongPtrW(window, GWL_STYLE) & WS_SYSMENU, 0);
  RECT outer{};
  GetWindowRect(window, &outer);
  EXPECT_EQ(outer.right - outer.left, 405);
  EXPECT_EQ(outer.bottom - outer.top, 266);

  form.ShowWaiting(false);
  form.SetTexts("", "Pilotes du micro/pédalier Philips SpeechMike", "");
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(Text(ChildAt(window, 60, 50)), "Un instant s.v.p.");
  EXPECT_EQ(Text(ChildAt(window, 20, 150)), "Non disponible");
  EXPECT_EQ(Text(ChildAt(window, 20, 174)), "Pilotes du micro/pédalier Philips SpeechMike");

  form.StartProgress(nullptr);
  HWND bar = ChildAt(window, 10, 215);
  ASSERT_NE(bar, window);
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
