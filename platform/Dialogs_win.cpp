// The dialogs on Windows: MessageBoxW, with its buttons renamed to the French words whatever
// the language of Windows (a CBT hook renames them when the box is first activated).
#include <windows.h>

#include <string>

#include "common/ApplicationName.h"
#include "platform/Port.h"
#include "platform/TextConversion.h"
#include "platform/Dialogs.h"

namespace orvane {

namespace {

thread_local HHOOK tButtonHook = nullptr;

LRESULT CALLBACK FrenchButtons(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    HWND box = reinterpret_cast<HWND>(wParam);
    wchar_t className[16] = {};
    GetClassNameW(box, className, 16);
    if (std::wstring(className) == L"#32770") {
      if (HWND yes = GetDlgItem(box, IDYES)) SetWindowTextW(yes, L"&Oui");
      if (HWND no = GetDlgItem(box, IDNO)) SetWindowTextW(no, L"&Non");
      if (HWND ok = GetDlgItem(box, IDOK)) SetWindowTextW(ok, L"OK");
    }
  }
  return CallNextHookEx(tButtonHook, code, wParam, lParam);
}

int Show(const std::string& text, const std::wstring& caption, UINT style) {
  HWND owner = GetActiveWindow();
  if (owner == nullptr) style |= MB_TASKMODAL;
  HHOOK previous = tButtonHook;
  tButtonHook = SetWindowsHookExW(WH_CBT, FrenchButtons, nullptr, GetCurrentThreadId());
  const int answer = MessageBoxW(owner, Utf8ToWide(text).c_str(), caption.c_str(), style);
  if (tButtonHook != nullptr) UnhookWindowsHookEx(tButtonHook);
  tButtonHook = previous;
  return answer;
}

class Win32Dialogs : public Dialogs {
 public:
  void ShowMessage(const std::string& text) override { Show(text, Utf8ToWide(ApplicationTitle()), MB_OK); }
  void MessageWarning(const std::string& text) override { Show(text, L"Avertissement", MB_OK | MB_ICONWARNING); }
  void MessageError(const std::string& text) override { Show(text, L"Erreur", MB_OK | MB_ICONERROR); }
  TModalResult AskWarningYesNo(const std::string& text) override {
    switch (Show(text, L"Avertissement", MB_YESNO | MB_ICONWARNING)) {
      case IDYES: return TModalResult::Yes;
      case IDNO: return TModalResult::No;
      default: return TModalResult::None;
    }
  }
};

}  // namespace

template <>
Dialogs& PlatformAdapter<Dialogs>() {
  static Win32Dialogs adapter;
  return adapter;
}

}  // namespace orvane
