#pragma once
// What the programs that drive Orvane.exe from outside share: counted failures, bounded waits,
// screenshots, the log files, and Wine drawing the window frames for the screenshots.

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "support/HangLimit.h"

namespace automation {

inline int failures = 0;

inline void Fail(const std::string& what) {
  std::printf("FAILED: %s\n", what.c_str());
  std::fflush(stdout);
  ++failures;
}

inline std::string Narrow(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size, nullptr, nullptr);
  return result;
}

inline void Expect(bool condition, const std::string& what) {
  if (!condition) Fail(what);
}

inline constexpr DWORD kHangLimit = static_cast<DWORD>(orvane::testing::kHangLimit.count());

template <class Predicate>
bool WaitFor(Predicate predicate, DWORD milliseconds = kHangLimit) {
  const DWORD start = GetTickCount();
  while (!predicate()) {
    if (GetTickCount() - start > milliseconds) return false;
    Sleep(50);
  }
  return true;
}

// Closes the tester as its close box does and expects the program to end cleanly; releases the
// process's handles.
inline void CloseAndExpectCleanEnd(HWND window, PROCESS_INFORMATION& process) {
  PostMessageW(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, kHangLimit) != WAIT_OBJECT_0) {
    Fail("Orvane.exe does not end after its window is closed");
    TerminateProcess(process.hProcess, 1);
  }
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  Expect(code == 0, "Orvane.exe ends with exit code 0, not " + std::to_string(code));
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

// The window as it stands on the screen once it has painted what it owes, as a 24-bit BMP file.
inline void SaveScreenshot(HWND window, const std::wstring& path) {
  // Each paint is sent to the window's thread and done before this returns.
  RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT r{};
  GetWindowRect(window, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, old);

  BITMAPINFOHEADER info{};
  info.biSize = sizeof(info);
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  const DWORD stride = static_cast<DWORD>((width * 3 + 3) & ~3);
  std::vector<char> pixels(stride * static_cast<DWORD>(height));
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
            DIB_RGB_COLORS);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  std::ofstream out(path.c_str(), std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof(file));
  out.write(reinterpret_cast<const char*>(&info), sizeof(info));
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (!out) Fail("cannot write the screenshot");
}

// The lines of a text file in the system's code page, as UTF-8.
inline std::vector<std::string> ReadLines(const std::wstring& path) {
  std::vector<std::string> lines;
  std::ifstream in(path.c_str(), std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::wstring wide(line.size(), L'\0');
    wide.resize(static_cast<size_t>(
        MultiByteToWideChar(CP_ACP, 0, line.data(), static_cast<int>(line.size()), wide.data(), static_cast<int>(wide.size()))));
    lines.push_back(Narrow(wide));
  }
  return lines;
}

// Every file below Folder, with its path.
inline void FindFiles(const std::wstring& folder, std::vector<std::wstring>& files) {
  WIN32_FIND_DATAW data{};
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      FindFiles(folder + L"\\" + name, files);
    else
      files.push_back(folder + L"\\" + name);
  } while (FindNextFileW(find, &data));
  FindClose(find);
}

// Under Wine without a window manager, Wine draws the window frames itself only for windows it
// does not hand to one; the screenshot then shows the caption. Set for Orvane.exe's start only.
class WineDrawsFrames {
 public:
  WineDrawsFrames() {
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                        nullptr) != ERROR_SUCCESS)
      return;
    DWORD size = sizeof(previous_);
    hadValue_ = RegQueryValueExW(key_, L"Managed", nullptr, nullptr, reinterpret_cast<BYTE*>(previous_), &size) ==
                ERROR_SUCCESS;
    RegSetValueExW(key_, L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"N"), 2 * sizeof(wchar_t));
  }
  ~WineDrawsFrames() {
    if (!key_) return;
    if (hadValue_)
      RegSetValueExW(key_, L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(previous_),
                     static_cast<DWORD>((wcslen(previous_) + 1) * sizeof(wchar_t)));
    else
      RegDeleteValueW(key_, L"Managed");
    RegCloseKey(key_);
  }

 private:
  HKEY key_ = nullptr;
  bool hadValue_ = false;
  wchar_t previous_[16] = {};
};

}  // namespace automation
