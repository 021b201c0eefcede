// The application on Windows: the thread's top-level windows, its message queue, the process.
#include <windows.h>

#include <vector>

#include "platform/Port.h"
#include "platform/Application.h"

namespace orvane {

namespace {

BOOL CALLBACK CollectWindow(HWND window, LPARAM windows) {
  if (IsWindowVisible(window) || IsIconic(window)) reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
  return TRUE;
}

class Win32Application : public Application {
 public:
  void BringToFront() override {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
    if (windows.empty()) return;
    HWND front = GetActiveWindow();
    if (front == nullptr) front = windows.front();
    for (HWND window : windows)
      if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(front);
    BringWindowToTop(front);
  }

  void ProcessMessages() override {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(message.wParam));  // left for the main loop
        return;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }

  void Beep() override { MessageBeep(0); }
  uint32_t LastOsError() override { return GetLastError(); }
};

}  // namespace

template <>
Application& PlatformAdapter<Application>() {
  static Win32Application adapter;
  return adapter;
}

}  // namespace orvane
