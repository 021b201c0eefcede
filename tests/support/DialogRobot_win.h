#pragma once
// Finds a message box by its caption, reads it and clicks one of its buttons, as a user would;
// from another thread or another process than the one showing it.

#include <windows.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/TextConversion.h"
#include "tests/support/HangLimit.h"

namespace orvane::testing {

struct SeenDialog {
  bool found = false;
  std::string text;                 // the message
  std::vector<std::string> buttons;  // the buttons' captions, in window order
};

inline std::string WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return WideToUtf8(text);
}

// Asks `done` again and again until it holds or the limit passes; whether it held.
template <class Predicate>
bool WaitUntil(Predicate done, std::chrono::milliseconds limit = kHangLimit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

// The first visible dialog box with this caption of that process (0: any), or none within the limit.
inline HWND WaitForDialog(const std::wstring& caption, DWORD processId = 0, std::chrono::milliseconds limit = kHangLimit) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, L"#32770", caption.c_str())) != nullptr;) {
          DWORD owner = 0;
          GetWindowThreadProcessId(window, &owner);
          if (IsWindowVisible(window) && (processId == 0 || owner == processId)) return (found = window) != nullptr;
        }
        return false;
      },
      limit);
  return found;
}

inline SeenDialog ReadDialog(HWND box) {
  SeenDialog seen;
  seen.found = box != nullptr;
  if (box == nullptr) return seen;
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t className[32] = {};
    GetClassNameW(child, className, 32);
    const std::wstring kind = className;
    if (_wcsicmp(kind.c_str(), L"Button") == 0) seen.buttons.push_back(WindowText(child));
    else if (_wcsicmp(kind.c_str(), L"Static") == 0 && !WindowText(child).empty()) seen.text = WindowText(child);
  }
  return seen;
}

// Waits until the box has settled, as a user sees it: its message shown and its buttons renamed
// to the French words (which happens when it is first activated, just after it shows).
inline SeenDialog ReadSettledDialog(HWND box) {
  const auto french = [](const std::string& caption) { return caption == "&Oui" || caption == "&Non" || caption == "OK"; };
  SeenDialog seen;
  WaitUntil([&] {
    seen = ReadDialog(box);
    if (!seen.found || seen.text.empty() || seen.buttons.empty()) return !seen.found;
    for (const std::string& caption : seen.buttons)
      if (!french(caption)) return false;
    return true;
  });
  return seen;
}

// Clicks the button of that id, as a mouse click would.
inline void ClickButton(HWND box, int id) {
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
}

// On a thread of its own: waits for the box, reads it, clicks a button.
class DialogAnswerer {
 public:
  DialogAnswerer(std::wstring caption, int button)
      : thread_([this, caption = std::move(caption), button] {
          HWND box = WaitForDialog(caption);
          seen_ = ReadSettledDialog(box);
          if (box != nullptr) ClickButton(box, button);
        }) {}
  ~DialogAnswerer() {
    if (thread_.joinable()) thread_.join();
  }
  const SeenDialog& Seen() {
    if (thread_.joinable()) thread_.join();
    return seen_;
  }

 private:
  SeenDialog seen_;
  std::thread thread_;
};

}  // namespace orvane::testing
