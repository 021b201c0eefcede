// Orvane.exe: the tester window as the program's only window, over the process-wide services.
#include <windows.h>

#include <exception>

#include "app/OrvaneProgram.h"
#include "app/win32/FormOrvaneWin32.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  int exitCode = 0;
  try {
    orvane::TOrvaneProgram program;
    orvane::TFormOrvaneWin32 form;
    if (!form.Create(instance)) return 1;
    form.Show(showCommand);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      HWND window = form.Handle();
      if (window && IsDialogMessageW(window, &message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    exitCode = static_cast<int>(message.wParam);
  } catch (const std::exception& e) {
    orvane::TFormOrvane::ShowHandlerError(e);
    exitCode = 1;
  }
  return exitCode;
}
