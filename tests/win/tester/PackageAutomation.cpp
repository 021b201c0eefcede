// Walks Orvane's packages through what a site does, silently, checking at each step what the site
// relies on: installs the package without the driver package address; installs a rebuild of the
// same version with the address and starts the program as its Start-menu shortcut does; switches
// to the other architecture's package; comes back with a later package and a new address; removes
// it.
//
// Usage: PackageAutomation PACKAGE.msi REBUILT.msi OTHER_ARCHITECTURE.msi LATER.msi LATER_VERSION SCREENSHOT.bmp
#include <windows.h>
#include <aclapi.h>
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

// Where one architecture's package puts the program and its shortcut, and the registry view of
// its site setting.
struct Layout {
  std::wstring orvane;
  std::wstring shortcut;
  REGSAM view;
};

std::wstring Environment(const wchar_t* name) {
  wchar_t value[MAX_PATH] = {};
  GetEnvironmentVariableW(name, value, MAX_PATH);
  return value;
}

Layout LayoutOf(const std::wstring& architecture) {
  if (architecture == L"x64") return {Environment(L"ProgramW6432") + L"\\Orvane", L"Orvane (64 bits)", KEY_WOW64_64KEY};
  return {Environment(L"ProgramFiles(x86)") + L"\\Orvane", L"Orvane", KEY_WOW64_32KEY};
}

std::wstring OtherArchitecture(const std::wstring& architecture) { return architecture == L"x64" ? L"x86" : L"x64"; }

HKEY OpenSiteKey(REGSAM view) {
  HKEY key = nullptr;
  return RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Orvane", 0, KEY_READ | view, &key) == ERROR_SUCCESS ? key : nullptr;
}

bool SiteKeyExists(REGSAM view) {
  HKEY key = OpenSiteKey(view);
  if (key) RegCloseKey(key);
  return key != nullptr;
}

std::wstring SiteSetting(REGSAM view) {
  HKEY key = OpenSiteKey(view);
  if (!key) return L"";
  wchar_t value[512] = {};
  DWORD size = sizeof value - sizeof(wchar_t), type = 0;
  const bool read = RegQueryValueExW(key, L"DriverPackageUrl", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
                        ERROR_SUCCESS && type == REG_SZ;
  RegCloseKey(key);
  return read ? value : L"";
}

// The Start-menu shortcut: in all users' Start menu on Windows; Wine 8 puts a per-machine
// package's shortcut in the user's.
std::wstring LinkOf(const Layout& layout) {
  const std::wstring common = KnownFolder(CSIDL_COMMON_PROGRAMS) + L"\\" + layout.shortcut + L".lnk";
  return Exists(common) ? common : KnownFolder(CSIDL_PROGRAMS) + L"\\" + layout.shortcut + L".lnk";
}

// The Users' rights on the log folder, where Windows Installer applied the package's (a protected
// DACL): they may read it and create files in it, and write to files, never delete or re-secure
// the folder. Wine 8 ignores MsiLockPermissionsEx; msi-check holds the rule then.
void CheckLogFolderRights(const std::wstring& logs) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoW(logs.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr,
                            &descriptor) != ERROR_SUCCESS) {
    Fail("the log folder's rights cannot be read");
    return;
  }
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  GetSecurityDescriptorControl(descriptor, &control, &revision);
  if (!(control & SE_DACL_PROTECTED) || !dacl) {
    std::printf("note: the log folder's rights were not applied (Wine ignores MsiLockPermissionsEx); msi-check holds them\n");
    LocalFree(descriptor);
    return;
  }
  BYTE users[SECURITY_MAX_SID_SIZE] = {};
  DWORD size = sizeof users;
  CreateWellKnownSid(WinBuiltinUsersSid, nullptr, users, &size);
  ACCESS_MASK folder = 0, files = 0;
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    ACCESS_ALLOWED_ACE* ace = nullptr;
    if (!GetAce(dacl, i, reinterpret_cast<void**>(&ace)) || ace->Header.AceType != ACCESS_ALLOWED_ACE_TYPE ||
        !EqualSid(&ace->SidStart, users))
      continue;
    if (ace->Header.AceFlags & INHERIT_ONLY_ACE) files |= ace->Mask;
    else folder |= ace->Mask;
  }
  Expect((folder & FILE_ADD_FILE) && (folder & FILE_LIST_DIRECTORY), "the Users may list the log folder and create files in it");
  Expect(!(folder & (DELETE | FILE_DELETE_CHILD | WRITE_DAC | WRITE_OWNER)),
         "the Users may not delete, empty or re-secure the log folder");
  Expect((files & FILE_APPEND_DATA) && !(files & (DELETE | WRITE_DAC)), "the Users may append to the log files, not delete them");
  LocalFree(descriptor);
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

// A product or upgrade code as the installer's registry keys write it: each group of the first
// three reversed, each byte of the rest with its digits swapped.
std::wstring Packed(const std::wstring& guid) {
  std::wstring hex;
  for (wchar_t c : guid)
    if (iswxdigit(c)) hex += c;
  std::wstring packed(hex.rbegin() + 24, hex.rbegin() + 32);
  packed.append(hex.rbegin() + 20, hex.rbegin() + 24);
  packed.append(hex.rbegin() + 16, hex.rbegin() + 20);
  for (size_t i = 16; i + 1 < hex.size(); i += 2) packed += {hex[i + 1], hex[i]};
  return packed;
}

// When the replaced product leaves after the new one is registered, Wine 8 deletes the upgrade
// code's whole key, the new product's entry with it, so that the next package finds no product
// to replace; Windows removes the old product's entry only. Puts back what Windows leaves.
void KeepUpgradeCodeEntry(const std::wstring& product) {
  MSIHANDLE handle = 0;
  if (MsiOpenProductW(product.c_str(), &handle) != ERROR_SUCCESS) return;
  wchar_t code[39] = {};
  DWORD size = 39;
  const bool read = MsiGetProductPropertyW(handle, L"UpgradeCode", code, &size) == ERROR_SUCCESS;
  MsiCloseHandle(handle);
  wchar_t related[39] = {};
  if (!read || MsiEnumRelatedProductsW(code, 0, 0, related) == ERROR_SUCCESS) return;
  for (const wchar_t* folder : {L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UpgradeCodes\\",
                                L"SOFTWARE\\Classes\\Installer\\UpgradeCodes\\"}) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, (folder + Packed(code)).c_str(), 0, nullptr, 0, KEY_WRITE | KEY_WOW64_64KEY,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
      continue;
    RegSetValueExW(key, Packed(product).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(L""), sizeof(wchar_t));
    RegCloseKey(key);
  }
}

// One Orvane installed, and not Before: a package that replaces the one before.
std::wstring ExpectReplaced(const std::wstring& before, const std::string& what) {
  const std::vector<std::wstring> products = InstalledOrvane();
  std::string listed;
  for (const auto& product : products) listed += " " + Narrow(product) + " " + Narrow(ProductInfo(product, INSTALLPROPERTY_VERSIONSTRING));
  Expect(products.size() == 1 && products[0] != before, what + ", one Orvane remains (installed:" + listed + ")");
  if (products.size() != 1) return L"";
  KeepUpgradeCodeEntry(products[0]);
  return products[0];
}

// A prefix that an earlier run left with Orvane or the drivers installed, or with what a failed
// run left behind, starts clean.
void RemoveEarlierInstallations(const std::wstring& logs) {
  for (const auto& product : InstalledOrvane()) Msiexec(L"/x " + product + L" /qn");
  Msiexec(std::wstring(L"/x ") + kDriverPackageProduct + L" /qn");
  for (const auto& layout : {LayoutOf(L"x86"), LayoutOf(L"x64")}) {
    for (const wchar_t* file : {L"\\bin\\Orvane.exe", L"\\bin\\AppLogger.xml", L"\\drivers\\SpeechMike\\SpMikeCtrl.msi"})
      DeleteFileW((layout.orvane + file).c_str());
    DeleteFileW(LinkOf(layout).c_str());
  }
  std::vector<std::wstring> files;
  FindFiles(logs, files);
  for (const auto& file : files) DeleteFileW(file.c_str());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 7) {
    std::printf("usage: PackageAutomation PACKAGE.msi REBUILT.msi OTHER_ARCHITECTURE.msi LATER.msi LATER_VERSION SCREENSHOT.bmp\n");
    return 2;
  }
  const std::wstring package = argv[1], rebuilt = argv[2], other = argv[3], later = argv[4], laterVersion = argv[5],
                     screenshot = argv[6];
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const Layout mine = LayoutOf(ORVANE_PACKAGE_ARCHITECTURE), theirs = LayoutOf(OtherArchitecture(ORVANE_PACKAGE_ARCHITECTURE));
  const std::wstring program = mine.orvane + L"\\bin\\Orvane.exe";
  const std::wstring configuration = mine.orvane + L"\\bin\\AppLogger.xml";
  const std::wstring drivers = mine.orvane + L"\\drivers\\SpeechMike";
  const std::wstring logs = KnownFolder(CSIDL_COMMON_APPDATA) + L"\\Orvane\\log";
  RemoveEarlierInstallations(logs);

  orvane::testing::LoopbackHttpServer server;
  server.Serve(kPackagePath, {200, ReadAll(orvane::Utf8ToWide(ORVANE_TEST_PACKAGE))});
  const std::wstring url = orvane::Utf8ToWide(server.Url(kPackagePath));
  const std::wstring laterUrl = orvane::Utf8ToWide(server.Url("/site/SpMikeCtrl.msi"));

  // Installed without the site's address.
  Expect(Msiexec(L"/i \"" + package + L"\" /qn") == 0, "the package installs silently without an address");
  const std::wstring first = ExpectReplaced(L"", "the package installs");
  Expect(SiteSetting(mine.view).empty(), "no address is set before the site gives one");
  Expect(Exists(program) && Exists(configuration), "Orvane.exe and AppLogger.xml in Orvane\\bin");
  Expect(Exists(drivers), "the driver folder Orvane\\drivers\\SpeechMike is created");
  Expect(Exists(logs), "the log folder is created under ProgramData");
  CheckLogFolderRights(logs);
  const std::string edited = ReadAll(configuration) + "<!-- configuration du site -->\r\n";
  std::ofstream(configuration.c_str(), std::ios::binary) << edited;

  // A rebuild of the same version with the site's address replaces it and sets the address; the
  // site's AppLogger.xml stays.
  Expect(Msiexec(L"/i \"" + rebuilt + L"\" /qn DRIVERPACKAGEURL=" + url) == 0, "the rebuilt package installs silently");
  const std::wstring second = ExpectReplaced(first, "the rebuild of the same version replaces the first");
  Expect(SiteSetting(mine.view) == url, "the address given to a later installation is set");
  Expect(ReadAll(configuration) == edited, "the site's AppLogger.xml survives the rebuild");
  Expect(ProductInfo(second, INSTALLPROPERTY_PUBLISHER) == L"Orvane", "the publisher in the list of programs");
  const std::wstring icon = ProductInfo(second, INSTALLPROPERTY_PRODUCTICON);
  Expect(icon.size() > 11 && icon.compare(icon.size() - 11, 11, L"\\Orvane.ico") == 0 && Exists(icon),
         "the program's icon in the list of programs");
  Expect(lstrcmpiW(ProductInfo(second, INSTALLPROPERTY_INSTALLLOCATION).c_str(), (mine.orvane + L"\\").c_str()) == 0,
         "the installation folder in the list of programs");
  const Shortcut shortcut = ReadShortcut(LinkOf(mine));
  Expect(lstrcmpiW(shortcut.target.c_str(), program.c_str()) == 0, "the Start-menu shortcut starts Orvane.exe");
  Expect(lstrcmpiW(shortcut.folder.c_str(), (mine.orvane + L"\\bin").c_str()) == 0,
         "the Start-menu shortcut starts it in its own folder, not " + Narrow(shortcut.folder));

  // Started as the shortcut does: the drivers are fetched from the site's address and installed.
  {
    orvane::testing::ScopedTestSpeechMikeServer component;
    WineDrawsFrames frames;
    PROCESS_INFORMATION process{};
    if (HWND window = StartFromShortcut(shortcut, process)) {
      // The window is up with its controls once its button check tells its progress; the
      // screenshot then waits for the paints it owes.
      const auto progress = [&] {
        HWND line = FindWindowExW(window, nullptr, L"Static", L"0 / 23 boutons v\u00e9rifi\u00e9s");
        return line && IsWindowVisible(line);
      };
      Expect(WaitFor(progress), "the installed program shows its button check");
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

  // Switched to the other architecture's package without the address: it replaces this one and
  // keeps the address and the journal.
  Expect(Msiexec(L"/i \"" + other + L"\" /qn") == 0, "the other architecture's package installs silently");
  const std::wstring third = ExpectReplaced(second, "the other architecture's package replaces this one");
  Expect(SiteSetting(theirs.view) == url, "the address survives the switch of architecture");
  Expect(!Exists(program), "this architecture's program is removed");
  Expect(!Exists(LinkOf(mine)), "this architecture's shortcut is removed");
  Expect(Exists(LinkOf(theirs)) && Exists(theirs.orvane + L"\\bin\\Orvane.exe"),
         "the other architecture's program and shortcut are installed");
  Expect(Journal(logs) == journal, "the journal survives the switch of architecture");

  // Back to this architecture with a later version and a new address.
  Expect(Msiexec(L"/i \"" + later + L"\" /qn DRIVERPACKAGEURL=" + laterUrl) == 0, "the later package installs silently");
  const std::wstring fourth = ExpectReplaced(third, "the later package replaces the other architecture's");
  Expect(ProductVersionOf(program) == laterVersion, "Orvane.exe is the later one");
  Expect(SiteSetting(mine.view) == laterUrl, "an upgrade changes the address");
  Expect(!Exists(theirs.orvane + L"\\bin\\Orvane.exe"), "the other architecture's program is removed");
  Expect(!Exists(LinkOf(theirs)), "the other architecture's shortcut is removed");

  // Removed: nothing of the package remains, only logs and downloaded packages may.
  Expect(Msiexec(L"/x " + fourth + L" /qn") == 0, "the package is removed silently");
  Expect(InstalledOrvane().empty(), "no Orvane remains installed");
  Expect(!Exists(program) && !Exists(configuration), "Orvane.exe and AppLogger.xml are removed");
  Expect(!Exists(LinkOf(mine)), "the Start-menu shortcut is removed");
  Expect(!SiteKeyExists(KEY_WOW64_32KEY) && !SiteKeyExists(KEY_WOW64_64KEY), "the key HKLM\\SOFTWARE\\Orvane is removed from both views");
  Expect(Exists(drivers + L"\\SpMikeCtrl.msi") && !Journal(logs).empty(), "the logs and the downloaded driver package stay");

  Msiexec(std::wstring(L"/x ") + kDriverPackageProduct + L" /qn");
  std::printf(failures ? "%d check(s) failed\n" : "all checks passed\n", failures);
  return failures ? 1 : 0;
}
