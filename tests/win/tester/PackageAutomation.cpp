// Installs Orvane's package as a site would, silently with its driver package address, starts the
// installed program as its Start-menu shortcut does, upgrades it to a later package, then removes
// it, checking at each step what a site relies on.
//
// Usage: PackageAutomation PACKAGE.msi LATER_PACKAGE.msi LATER_VERSION SCREENSHOT.bmp
#include <windows.h>
#include <msi.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/DialogRobot_win.h"
#include "support/LoopbackHttpServer.h"
#include "support/TestSpeechMikeServer_win.h"
#include "win/tester/Automation.h"

namespace {

using namespace automation;

const wchar_t kDriverPackageProduct[] = L"{D2C4D777-BBD1-4025-8A56-A5C0FB812D76}";
const wchar_t kCaption[] = L"Orvane - Pilotes de Philips";
const char kPackagePath[] = "/tad/util/SpMikeCtrl.msi";

std::wstring KnownFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadAll(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

// Runs a program to its end; its exit code, or -1 when it cannot start or does not end.
int Run(const std::wstring& commandLine) {
  std::wstring line = commandLine;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) return -1;
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process.hProcess, kHangLimit) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
  else TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}

int Msiexec(const std::wstring& arguments) { return Run(L"msiexec.exe " + arguments); }

std::wstring ProductInfo(const std::wstring& product, const wchar_t* property) {
  wchar_t value[512] = {};
  DWORD size = 512;
  return MsiGetProductInfoW(product.c_str(), property, value, &size) == ERROR_SUCCESS ? value : L"";
}

// The installed products named Orvane. Not by the upgrade code: when the old product leaves
// after the new one is registered, Wine 8 deletes the upgrade code's whole key, the new
// product's entry with it (Windows removes the old product's entry only).
std::vector<std::wstring> InstalledOrvane() {
  std::vector<std::wstring> products;
  wchar_t product[39] = {};
  for (DWORD i = 0; MsiEnumProductsW(i, product) == ERROR_SUCCESS; ++i)
    if (ProductInfo(product, INSTALLPROPERTY_INSTALLEDPRODUCTNAME) == L"Orvane") products.push_back(product);
  return products;
}

bool SiteKeyExists() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Orvane", 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

std::wstring SiteSetting() {
  wchar_t value[512] = {};
  DWORD size = sizeof value;
  return RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Orvane", L"DriverPackageUrl", RRF_RT_REG_SZ, nullptr, value, &size) ==
                 ERROR_SUCCESS
             ? value
             : L"";
}

std::wstring ProductVersionOf(const std::wstring& program) {
  const DWORD size = GetFileVersionInfoSizeW(program.c_str(), nullptr);
  std::vector<char> info(size);
  wchar_t* value = nullptr;
  UINT length = 0;
  if (size == 0 || !GetFileVersionInfoW(program.c_str(), 0, size, info.data()) ||
      !VerQueryValueW(info.data(), L"\\StringFileInfo\\040C04E4\\ProductVersion", reinterpret_cast<void**>(&value), &length))
    return L"";
  return std::wstring(value, wcsnlen(value, length));
}

// Where the Start-menu shortcut points and the folder it starts the program in.
struct Shortcut {
  std::wstring target;
  std::wstring folder;
};

Shortcut ReadShortcut(const std::wstring& link) {
  Shortcut shortcut;
  IShellLinkW* shell = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&shell))))
    return shortcut;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    if (SUCCEEDED(file->Load(link.c_str(), STGM_READ))) {
      wchar_t text[MAX_PATH] = {};
      if (SUCCEEDED(shell->GetPath(text, MAX_PATH, nullptr, 0))) shortcut.target = text;
      if (SUCCEEDED(shell->GetWorkingDirectory(text, MAX_PATH))) shortcut.folder = text;
      if (!shortcut.folder.empty() && shortcut.folder.back() == L'\\') shortcut.folder.pop_back();
    }
    file->Release();
  }
  shell->Release();
  return shortcut;
}

// Starts the program as the shortcut does and acknowledges the missing drivers' warning; the
// tester window once the drivers are installed, or nullptr.
HWND StartFromShortcut(const Shortcut& shortcut, PROCESS_INFORMATION& process) {
  std::wstring commandLine = L"\"" + shortcut.target + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, shortcut.folder.c_str(), &startup,
                      &process)) {
    Fail("the installed Orvane.exe does not start");
    return nullptr;
  }
  bool warned = false;
  HWND window = nullptr;
  // Any other message box of the program is a failure, told with its text and acknowledged.
  WaitFor(
      [&] {
        for (HWND box = nullptr; (box = FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr;) {
          DWORD owner = 0;
          GetWindowThreadProcessId(box, &owner);
          if (owner != process.dwProcessId || !IsWindowVisible(box)) continue;
          const orvane::testing::SeenDialog seen = orvane::testing::ReadDialog(box);
          if (orvane::testing::WindowText(box) == "Avertissement") warned = true;
          else Fail("Orvane.exe says \"" + seen.text + "\"");
          orvane::testing::ClickButton(box, IDOK);
        }
        window = FindWindowW(nullptr, kCaption);
        return (window && IsWindowVisible(window)) || WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0;
      },
      kHangLimit);
  Expect(warned, "the missing drivers are announced before their installation");
  if (!window || !IsWindowVisible(window)) {
    Fail("no tester window after the drivers' installation");
    return nullptr;
  }
  return window;
}

// The lines of the journal files (not the error context) under Folder.
std::vector<std::string> Journal(const std::wstring& folder) {
  std::vector<std::wstring> files;
  FindFiles(folder, files);
  std::vector<std::string> lines;
  for (const auto& file : files) {
    if (file.find(L"erreurs") != std::wstring::npos) continue;
    for (const auto& line : ReadLines(file)) lines.push_back(line);
  }
  return lines;
}

bool Holds(const std::vector<std::string>& lines, const std::string& text) {
  for (const auto& line : lines)
    if (line.find(text) != std::string::npos) return true;
  return false;
}

// A prefix that an earlier run left with Orvane or the drivers installed starts clean.
void RemoveEarlierInstallations(const std::wstring& drivers, const std::wstring& logs) {
  for (const auto& product : InstalledOrvane()) Msiexec(L"/x " + product + L" /qn");
  Msiexec(std::wstring(L"/x ") + kDriverPackageProduct + L" /qn");
  DeleteFileW((drivers + L"\\SpMikeCtrl.msi").c_str());
  std::vector<std::wstring> files;
  FindFiles(logs, files);
  for (const auto& file : files) DeleteFileW(file.c_str());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 5) {
    std::printf("usage: PackageAutomation PACKAGE.msi LATER_PACKAGE.msi LATER_VERSION SCREENSHOT.bmp\n");
    return 2;
  }
  const std::wstring package = argv[1], later = argv[2], laterVersion = argv[3], screenshot = argv[4];
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const std::wstring orvane = KnownFolder(CSIDL_PROGRAM_FILES) + L"\\Orvane";
  const std::wstring program = orvane + L"\\bin\\Orvane.exe";
  const std::wstring configuration = orvane + L"\\bin\\AppLogger.xml";
  const std::wstring drivers = orvane + L"\\drivers\\SpeechMike";
  const std::wstring logs = KnownFolder(CSIDL_COMMON_APPDATA) + L"\\Orvane\\log";
  // All users' Start menu on Windows; Wine 8 puts a per-machine package's shortcut in the user's.
  std::wstring link = KnownFolder(CSIDL_COMMON_PROGRAMS) + L"\\Orvane.lnk";
  const std::wstring userLink = KnownFolder(CSIDL_PROGRAMS) + L"\\Orvane.lnk";
  RemoveEarlierInstallations(drivers, logs);

  orvane::testing::LoopbackHttpServer server;
  server.Serve(kPackagePath, {200, ReadAll(orvane::Utf8ToWide(ORVANE_TEST_PACKAGE))});
  const std::wstring url = orvane::Utf8ToWide(server.Url(kPackagePath));

  // Installed silently with the site's address.
  Expect(Msiexec(L"/i \"" + package + L"\" /qn DRIVERPACKAGEURL=" + url) == 0, "the package installs silently");
  const std::vector<std::wstring> installed = InstalledOrvane();
  Expect(installed.size() == 1, "one Orvane installed");
  Expect(Exists(program) && Exists(configuration), "Orvane.exe and AppLogger.xml in Orvane\\bin");
  Expect(Exists(drivers), "the driver folder Orvane\\drivers\\SpeechMike is created");
  Expect(Exists(logs), "the log folder is created under ProgramData");
  Expect(SiteSetting() == url, "the site's address is in HKLM\\SOFTWARE\\Orvane");
  if (!installed.empty()) {
    Expect(ProductInfo(installed[0], INSTALLPROPERTY_PUBLISHER) == L"Orvane", "the publisher in the list of programs");
    const std::wstring icon = ProductInfo(installed[0], INSTALLPROPERTY_PRODUCTICON);
    Expect(icon.size() > 11 && icon.compare(icon.size() - 11, 11, L"\\Orvane.ico") == 0 && Exists(icon),
           "the program's icon in the list of programs");
  }
  if (!Exists(link)) link = userLink;
  const Shortcut shortcut = ReadShortcut(link);
  Expect(lstrcmpiW(shortcut.target.c_str(), program.c_str()) == 0, "the Start-menu shortcut starts Orvane.exe");
  Expect(lstrcmpiW(shortcut.folder.c_str(), (orvane + L"\\bin").c_str()) == 0,
         "the Start-menu shortcut starts it in its own folder, not " + Narrow(shortcut.folder));

  // Started as the shortcut does: the drivers are fetched from the site's address and installed.
  {
    orvane::testing::ScopedTestSpeechMikeServer component;
    WineDrawsFrames frames;
    PROCESS_INFORMATION process{};
    if (HWND window = StartFromShortcut(shortcut, process)) {
      SaveScreenshot(window, screenshot);
      CloseAndExpectCleanEnd(window, process);
    }
  }
  std::string requests;
  for (const auto& request : server.Requests()) requests += " " + request;
  Expect(server.Requests() == std::vector<std::string>{kPackagePath},
         "the driver package is fetched from the site's address (requests:" + requests + ")");
  Expect(Exists(drivers + L"\\SpMikeCtrl.msi"), "the driver package is kept in Orvane\\drivers\\SpeechMike");
  const std::vector<std::string> journal = Journal(logs);
  Expect(Holds(journal, "Vérification de l'installation des pilotes SM sur le poste") &&
             Holds(journal, "InstallationPilotesSM - OUT"),
         "the run's journal is under ProgramData\\Orvane\\log");

  // Upgraded to a later package: the site's edits and address stay, the program is replaced.
  const std::string edited = ReadAll(configuration) + "<!-- configuration du site -->\r\n";
  std::ofstream(configuration.c_str(), std::ios::binary) << edited;
  Expect(Msiexec(L"/i \"" + later + L"\" /qn") == 0, "the later package installs silently");
  const std::vector<std::wstring> upgraded = InstalledOrvane();
  std::string products;
  for (const auto& product : upgraded) products += " " + Narrow(product) + " " + Narrow(ProductInfo(product, INSTALLPROPERTY_VERSIONSTRING));
  Expect(upgraded.size() == 1 && installed.size() == 1 && upgraded[0] != installed[0],
         "the later product replaces the first, one remains (installed:" + products + ")");
  Expect(ProductVersionOf(program) == laterVersion, "Orvane.exe is the later one");
  Expect(ReadAll(configuration) == edited, "the site's AppLogger.xml survives the upgrade");
  Expect(SiteSetting() == url, "the site's address survives the upgrade");

  // Removed: nothing of the package remains, only logs and downloaded packages may.
  for (const auto& product : upgraded)
    Expect(Msiexec(L"/x " + product + L" /qn") == 0, "the package is removed silently");
  Expect(InstalledOrvane().empty(), "no Orvane remains installed");
  Expect(!Exists(program) && !Exists(configuration), "Orvane.exe and AppLogger.xml are removed");
  Expect(!Exists(link) && !Exists(userLink), "the Start-menu shortcut is removed");
  Expect(!SiteKeyExists(), "the key HKLM\\SOFTWARE\\Orvane is removed");

  Msiexec(std::wstring(L"/x ") + kDriverPackageProduct + L" /qn");
  std::printf(failures ? "%d check(s) failed\n" : "all checks passed\n", failures);
  return failures ? 1 : 0;
}
