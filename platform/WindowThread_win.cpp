// The window thread under Win32: a message-only window of the thread that first posts, whose
// window procedure runs the work as the message loop dispatches it.
#include <windows.h>

#include <memory>

#include "common/Exceptions.h"
#include "platform/Port.h"
#include "platform/WindowThread.h"

namespace orvane {

namespace {
constexpr UINT kRunWork = WM_APP + 0x51;

LRESULT CALLBACK WorkWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kRunWork) {
    std::unique_ptr<std::function<void()>> work(reinterpret_cast<std::function<void()>*>(lParam));
    (*work)();
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

class Win32WindowThread : public WindowThread {
 public:
  void Post(std::function<void()> work) override {
    if (window_ == nullptr) window_ = CreateWorkWindow();
    auto heldWork = std::make_unique<std::function<void()>>(std::move(work));
    if (!PostMessageW(window_, kRunWork, 0, reinterpret_cast<LPARAM>(heldWork.get())))
      throw EOSError("PostMessage a échoué (" + std::to_string(GetLastError()) + ")");
    heldWork.release();  // the window procedure owns it now
  }

 private:
  static HWND CreateWorkWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WorkWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"OrvaneWindowThread";
    RegisterClassW(&windowClass);  // already registered is fine
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  windowClass.hInstance, nullptr);
    if (window == nullptr) throw EOSError("CreateWindowEx a échoué (" + std::to_string(GetLastError()) + ")");
    return window;
  }

  HWND window_ = nullptr;
};
}  // namespace

template <>
WindowThread& PlatformAdapter<WindowThread>() {
  static Win32WindowThread adapter;
  return adapter;
}

}  // namespace orvane
