#pragma once
// The test COM server of tests/win (orvane_test_speechmike.dll beside the test program),
// loaded into the test process and registered per user while a test needs it.

#include <objbase.h>
#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/TextConversion.h"

namespace orvane::testing {

class TestSpeechMikeServer {
 public:
  static TestSpeechMikeServer& Get() {
    static TestSpeechMikeServer server;
    return server;
  }

  // Per user. A COM runtime that reads only the machine's classes (Wine 8) does not see the
  // per-user key through HKEY_CLASSES_ROOT; there the same entry goes to the machine's classes.
  void Register() {
    Check(registerServer_(), "DllRegisterServer");
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, kClassKey + 17, 0, KEY_READ, &key) == ERROR_SUCCESS) {
      RegCloseKey(key);
      return;
    }
    mirrored_ = true;
    Check(HRESULT_FROM_WIN32(RegCopyTreeIn()), "HKLM\\Software\\Classes");
  }
  // Only in the machine's classes that programs of the other bitness read (the 32-bit view for a
  // 64-bit program, the 64-bit view for a 32-bit one).
  void RegisterForOtherBitnessOnly() {
    HKEY key = nullptr;
    const std::wstring server = std::wstring(kClassKey) + L"\\InprocServer32";
    Check(HRESULT_FROM_WIN32(RegCreateKeyExW(HKEY_LOCAL_MACHINE, server.c_str(), 0, nullptr, 0,
                                             KEY_ALL_ACCESS | kOtherView, nullptr, &key, nullptr)),
          "other view");
    const std::wstring path = ModulePath();
    const std::wstring model = L"Apartment";
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                   static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
    RegSetValueExW(key, L"ThreadingModel", 0, REG_SZ, reinterpret_cast<const BYTE*>(model.c_str()),
                   static_cast<DWORD>((model.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
  }
  void Unregister() {
    Check(unregisterServer_(), "DllUnregisterServer");
    if (MachineEntryIsOurs(kOtherView)) {
      HKEY classes = nullptr;
      if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\CLSID", 0, KEY_ALL_ACCESS | kOtherView, &classes) ==
          ERROR_SUCCESS) {
        RegDeleteTreeW(classes, kClassKey + 23);
        RegCloseKey(classes);
      }
    }
    // Also a mirror left by an earlier run that ended early, but never another server's entry.
    if (mirrored_ || MachineEntryIsOurs()) RegDeleteTreeW(HKEY_LOCAL_MACHINE, kClassKey);
    mirrored_ = false;
  }
  void Reset() { reset_(); }
  void Fail(const std::string& operation, const std::string& description) {
    fail_(Utf8ToWide(operation).c_str(), Utf8ToWide(description).c_str());
  }
  void Post(int id, int device, uint32_t value, VARTYPE type = VT_I4) {
    if (!post_(id, device, value, type)) throw std::runtime_error("TestSpm_Post");
  }
  std::vector<std::string> Calls() {
    std::wstring text(static_cast<size_t>(calls_(nullptr, 0)) + 1, L'\0');
    text.resize(static_cast<size_t>(calls_(text.data(), static_cast<int>(text.size()))));
    std::vector<std::string> calls;
    size_t start = 0;
    for (size_t end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1)
      calls.push_back(WideToUtf8(text.substr(start, end - start)));
    return calls;
  }
  int Subscribed() { return subscribed_(); }
  int LiveObjects() { return liveObjects_(); }
  void SetRunning(bool running) { Check(registerRunning_(running), "TestSpm_RegisterRunning"); }
  std::string LastBarcode() {
    std::wstring text(256, L'\0');
    text.resize(static_cast<size_t>(lastBarcode_(text.data(), static_cast<int>(text.size()))));
    return WideToUtf8(text);
  }

  // The window thread's pending messages, the component's events among them.
  static void RunMessageLoop() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }

 private:
  static std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"orvane_test_speechmike.dll";
  }

  TestSpeechMikeServer() {
    module_ = LoadLibraryW(ModulePath().c_str());
    if (module_ == nullptr) throw std::runtime_error("orvane_test_speechmike.dll introuvable");
    Load(registerServer_, "DllRegisterServer");
    Load(unregisterServer_, "DllUnregisterServer");
    Load(reset_, "TestSpm_Reset");
    Load(fail_, "TestSpm_Fail");
    Load(post_, "TestSpm_Post");
    Load(calls_, "TestSpm_Calls");
    Load(subscribed_, "TestSpm_Subscribed");
    Load(liveObjects_, "TestSpm_LiveObjects");
    Load(registerRunning_, "TestSpm_RegisterRunning");
    Load(lastBarcode_, "TestSpm_LastBarcode");
  }

  static constexpr const wchar_t* kClassKey = L"Software\\Classes\\CLSID\\{AAA44754-CC81-4692-91AF-7064E58EB22A}";

  static constexpr REGSAM kOtherView = sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;

  static bool MachineEntryIsOurs(REGSAM view = 0) {
    wchar_t server[MAX_PATH] = {};
    DWORD size = sizeof server;
    const std::wstring key = std::wstring(kClassKey) + L"\\InprocServer32";
    HKEY entry = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | view, &entry) != ERROR_SUCCESS) return false;
    const LSTATUS status = RegGetValueW(entry, nullptr, nullptr, RRF_RT_REG_SZ, nullptr, server, &size);
    RegCloseKey(entry);
    if (status != ERROR_SUCCESS) return false;
    const std::wstring path = server;
    const std::wstring ours = L"orvane_test_speechmike.dll";
    return path.size() >= ours.size() && _wcsicmp(path.c_str() + path.size() - ours.size(), ours.c_str()) == 0;
  }

  static LSTATUS RegCopyTreeIn() {
    HKEY source = nullptr, target = nullptr;
    LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, kClassKey, 0, KEY_READ, &source);
    if (status != ERROR_SUCCESS) return status;
    status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, kClassKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &target, nullptr);
    if (status == ERROR_SUCCESS) status = RegCopyTreeW(source, nullptr, target);
    if (target != nullptr) RegCloseKey(target);
    RegCloseKey(source);
    return status;
  }

  template <class F>
  void Load(F*& function, const char* name) {
    function = reinterpret_cast<F*>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    if (function == nullptr) throw std::runtime_error(name);
  }
  static void Check(HRESULT status, const char* what) {
    if (FAILED(status)) throw std::runtime_error(what);
  }

  HMODULE module_ = nullptr;
  bool mirrored_ = false;
  HRESULT(__stdcall* registerServer_)() = nullptr;
  HRESULT(__stdcall* unregisterServer_)() = nullptr;
  void(__stdcall* reset_)() = nullptr;
  void(__stdcall* fail_)(const wchar_t*, const wchar_t*) = nullptr;
  BOOL(__stdcall* post_)(int, int, ULONG, int) = nullptr;
  int(__stdcall* calls_)(wchar_t*, int) = nullptr;
  int(__stdcall* subscribed_)() = nullptr;
  int(__stdcall* liveObjects_)() = nullptr;
  HRESULT(__stdcall* registerRunning_)(BOOL) = nullptr;
  int(__stdcall* lastBarcode_)(wchar_t*, int) = nullptr;
};

// COM on the test's thread and the server registered, for the lifetime of a test.
struct ScopedTestSpeechMikeServer {
  ScopedTestSpeechMikeServer() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    server.Reset();
    server.Register();
  }
  ~ScopedTestSpeechMikeServer() {
    server.SetRunning(false);
    server.Unregister();
    server.Reset();
    CoUninitialize();
  }
  TestSpeechMikeServer& server = TestSpeechMikeServer::Get();
};

}  // namespace orvane::testing
