// The Win32 view of the waiting window: the controls the original used, the shell's
// find-folder animation and a progress bar in the window's green.

#include <windows.h>
#include <commctrl.h>

#include "platform/Port.h"
#include "platform/TextConversion.h"
#include "ui/FormAttenteDictee.h"
#include "ui/win32/FormAttenteDicteeWin32.h"
#include "ui/win32/ScreenScaleWin32.h"

namespace orvane {

namespace {

const wchar_t kWindowClass[] = L"OrvaneFormAttenteDictee";
// The find-folder clip among the shell's animations.
const int kFindFolderAnimation = 150;
const int kAnimationId = 2;

HFONT Tahoma(int points, bool bold) {
  HDC screen = GetDC(nullptr);
  const int height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  return CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Tahoma");
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CTLCOLORSTATIC) {
    // Labels on the button-face background, in black.
    SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 0));
    SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  }
  if (message == WM_SETCURSOR && GetDlgCtrlID(reinterpret_cast<HWND>(wParam)) == kAnimationId) {
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    return TRUE;
  }
  if (message == WM_CLOSE) return 0;  // only the caller closes it
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterWindowClass() {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_ANIMATE_CLASS | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassExW(&windowClass) != 0;
  }();
  (void)registered;
}

class FormAttenteDicteeWin32 : public FormAttenteDicteeView {
 public:
  FormAttenteDicteeWin32() {
    RegisterWindowClass();
    HINSTANCE instance = GetModuleHandleW(nullptr);
    normalFont_ = Tahoma(8, false);
    boldFont_ = Tahoma(10, true);
    const int width = Scaled(405), height = Scaled(266);
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    // A caption without system menu or buttons.
    window_ = CreateWindowExW(WS_EX_DLGMODALFRAME, kWindowClass, Utf8ToWide(TFormAttenteDictee::kCaption).c_str(),
                              WS_POPUP | WS_CAPTION, left, top, width, height, nullptr, nullptr, instance, nullptr);
    // Every control from its design place and size (96 DPI), laid out at the screen's DPI.
    auto child = [&](const wchar_t* className, const wchar_t* text, DWORD style, int x, int y, int w, int h,
                     HWND parent, HFONT font, int id = 0) {
      const RECT r = ScaledRect(RECT{x, y, x + w, y + h});
      HWND control = CreateWindowExW(0, className, text, WS_CHILD | style, r.left, r.top, r.right - r.left,
                                     r.bottom - r.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                     instance, nullptr);
      SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
      return control;
    };
    panel_ = child(L"STATIC", L"", WS_VISIBLE, 0, 0, 0, 41, window_, normalFont_);
    // The panel spans the client area, whatever the frame's width.
    RECT client{}, panel{};
    GetClientRect(window_, &client);
    GetClientRect(panel_, &panel);
    SetWindowPos(panel_, nullptr, 0, 0, client.right, panel.bottom, SWP_NOMOVE | SWP_NOZORDER);
    stop_ = child(L"BUTTON", Utf8ToWide(TFormAttenteDictee::kStopCaption).c_str(), BS_PUSHBUTTON, 1, 0, 397, 40,
                  panel_, normalFont_);
    // Static text takes no focus and no input; a disabled one would be drawn grey, not black.
    title_ = child(L"STATIC", L"", WS_VISIBLE | SS_CENTER, 48, 48, 297, 33, window_, boldFont_);
    animation_ = child(ANIMATE_CLASSW, L"", WS_VISIBLE | ACS_TRANSPARENT | ACS_CENTER, 48, 88, 297, 50, window_,
                       normalFont_, kAnimationId);
    shell_ = LoadLibraryExW(L"shell32.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    application_ = child(L"STATIC", L"", WS_VISIBLE | SS_CENTER, 8, 144, 377, 16, window_, boldFont_);
    line1_ = child(L"STATIC", L"", WS_VISIBLE | SS_CENTER, 8, 168, 377, 16, window_, boldFont_);
    line2_ = child(L"STATIC", L"", WS_VISIBLE | SS_CENTER, 8, 192, 377, 16, window_, boldFont_);
    bar_ = child(PROGRESS_CLASSW, L"", 0, 2, 210, 393, 17, window_, normalFont_);
    // A themed bar ignores its colour: the bar is drawn classic to show the window's green.
    if (HMODULE theme = LoadLibraryW(L"uxtheme.dll")) {
      using SetWindowThemeFunction = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
      if (auto setTheme = reinterpret_cast<SetWindowThemeFunction>(
              reinterpret_cast<void*>(GetProcAddress(theme, "SetWindowTheme")))) {
        setTheme(bar_, L"", L"");
      }
      FreeLibrary(theme);
    }
    SendMessageW(bar_, PBM_SETBARCOLOR, 0, RGB(40, 211, 0));
    SendMessageW(bar_, PBM_SETRANGE32, 0, 1000);
  }

  ~FormAttenteDicteeWin32() override {
    if (animation_) SendMessageW(animation_, ACM_STOP, 0, 0);
    if (window_) DestroyWindow(window_);
    if (shell_) FreeLibrary(shell_);
    DeleteObject(normalFont_);
    DeleteObject(boldFont_);
  }

  void Render(const TFormAttenteDictee& form) override {
    SetText(title_, form.TitleText());
    ShowWindow(panel_, form.StopPanelVisible() ? SW_SHOWNA : SW_HIDE);
    ShowWindow(stop_, form.StopButtonVisible() ? SW_SHOWNA : SW_HIDE);
    SetText(application_, form.LabelApplication());
    SetText(line1_, form.LabelCpt1());
    SetText(line2_, form.LabelCpt2());
    const bool indeterminate = form.ProgressIndeterminate();
    if (indeterminate != marquee_) {
      LONG_PTR style = GetWindowLongPtrW(bar_, GWL_STYLE);
      style = indeterminate ? (style | PBS_MARQUEE) : (style & ~static_cast<LONG_PTR>(PBS_MARQUEE));
      SetWindowLongPtrW(bar_, GWL_STYLE, style);
      SendMessageW(bar_, PBM_SETMARQUEE, indeterminate, 50);
      marquee_ = indeterminate;
    }
    if (!indeterminate) SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(form.ProgressFraction() * 1000), 0);
    ShowWindow(bar_, form.ProgressVisible() ? SW_SHOWNA : SW_HIDE);
    if (form.Visible() != shown_) {
      shown_ = form.Visible();
      if (shown_) {
        if (shell_) {
          SendMessageW(animation_, ACM_OPENW, reinterpret_cast<WPARAM>(shell_),
                       reinterpret_cast<LPARAM>(MAKEINTRESOURCEW(kFindFolderAnimation)));
        }
        SendMessageW(animation_, ACM_PLAY, static_cast<WPARAM>(-1), MAKELONG(0, 29));
      } else {
        SendMessageW(animation_, ACM_STOP, 0, 0);
      }
      ShowWindow(window_, shown_ ? SW_SHOWNORMAL : SW_HIDE);
    }
    UpdateWindow(window_);
  }

  void ProcessMessages() override {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        // Leave the quit request for the program's own message loop.
        PostQuitMessage(static_cast<int>(message.wParam));
        break;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }

  HWND window_ = nullptr;

 private:
  static void SetText(HWND control, const std::string& text) { SetWindowTextW(control, Utf8ToWide(text).c_str()); }

  HWND panel_ = nullptr, stop_ = nullptr, title_ = nullptr, animation_ = nullptr;
  HWND application_ = nullptr, line1_ = nullptr, line2_ = nullptr, bar_ = nullptr;
  HMODULE shell_ = nullptr;
  HFONT normalFont_ = nullptr, boldFont_ = nullptr;
  bool shown_ = false;
  bool marquee_ = false;
};

class WaitingWindowsWin32 : public WaitingWindows {
 public:
  std::unique_ptr<FormAttenteDicteeView> CreateView(const TFormAttenteDictee&) override {
    return std::make_unique<FormAttenteDicteeWin32>();
  }
};

}  // namespace

HWND FormAttenteDicteeWindow(FormAttenteDicteeView* view) {
  auto* win32 = dynamic_cast<FormAttenteDicteeWin32*>(view);
  return win32 ? win32->window_ : nullptr;
}

template <>
WaitingWindows& PlatformAdapter<WaitingWindows>() {
  static WaitingWindowsWin32 adapter;
  return adapter;
}

}  // namespace orvane
