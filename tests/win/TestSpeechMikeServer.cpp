// A stand-in for the Philips SpeechMike control: an in-process COM server with the control's
// class id, its dual interface (operations in their table order after IDispatch) and its event
// connection point. A test sets its behaviour through the TestSpm_ functions and reads back
// what it was asked.
#include <ocidl.h>
#include <oleauto.h>
#include <windows.h>
#include <olectl.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

// {AAA44754-CC81-4692-91AF-7064E58EB22A}
const CLSID kClass = {0xAAA44754, 0xCC81, 0x4692, {0x91, 0xAF, 0x70, 0x64, 0xE5, 0x8E, 0xB2, 0x2A}};
// {D153FC68-6086-4AC4-BB4D-B2E042988A41}
const IID kControl = {0xD153FC68, 0x6086, 0x4AC4, {0xBB, 0x4D, 0xB2, 0xE0, 0x42, 0x98, 0x8A, 0x41}};
// {D7540EDE-E5D5-422C-AD4A-A7324431F640}
const IID kEvents = {0xD7540EDE, 0xE5D5, 0x422C, {0xAD, 0x4A, 0xA7, 0x32, 0x44, 0x31, 0xF6, 0x40}};
const wchar_t kClassKey[] = L"Software\\Classes\\CLSID\\{AAA44754-CC81-4692-91AF-7064E58EB22A}";

HMODULE gModule = nullptr;
LONG gServerReferences = 0;

// Table slots 7.. of the control's dual interface, as a client of the component sees them.
struct ControlTable : IDispatch {
  virtual HRESULT STDMETHODCALLTYPE Slot07_InitializeDevice(LONG) = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot08_DeactivateDevice() = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot09_ActivateDevice() = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot10_UninitializeDevice() = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot11() = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot12() = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot13() = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot14() = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot15() = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot16() = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot17() = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot18_SetDisplayState(LONG, LONG) = 0;
};

class Control;

struct Behaviour {
  std::vector<std::wstring> calls;
  std::map<std::wstring, std::wstring> failures;
  std::vector<Control*> live;
  std::wstring lastBarcode;
  HWND window = nullptr;
  DWORD runningCookie = 0;
};
Behaviour gBehaviour;

constexpr UINT kFire = WM_APP + 0x53;
// Sent from another process to the server's message window: raise event wParam with value
// lParam for device 1, as the device would.
constexpr UINT kFireFromOutside = WM_APP + 0x54;
struct PendingEvent {
  DISPID id;
  LONG device;
  ULONG value;
  VARTYPE type;
};

// Driven from another process (the tester's automation starts Orvane.exe, which loads this
// server): the environment names the button events to raise after each activation and a file
// that records every call as it comes.
HWND EventWindow();

void ScriptRecord(const std::wstring& call) {
  wchar_t path[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"ORVANE_TEST_SPM_CALLS", path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  HANDLE file = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  SetFilePointer(file, 0, nullptr, FILE_END);
  std::string line(call.begin(), call.end());  // the calls are ASCII
  line += "\r\n";
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
}

void ScriptActivated() {
  EventWindow();  // from now on the automation can find it and raise events through it
  wchar_t codes[512];
  const DWORD length = GetEnvironmentVariableW(L"ORVANE_TEST_SPM_EVENTS", codes, 512);
  if (length == 0 || length >= 512) return;
  for (const wchar_t* at = codes; *at != L'\0';) {
    wchar_t* end = nullptr;
    const unsigned long code = wcstoul(at, &end, 10);
    if (end == at) break;
    auto* event = new PendingEvent{3, 1, static_cast<ULONG>(code), VT_UI4};
    if (!PostMessageW(EventWindow(), kFire, 0, reinterpret_cast<LPARAM>(event))) delete event;
    at = *end == L',' ? end + 1 : end;
  }
}

HRESULT Fail(const std::wstring& description) {
  ICreateErrorInfo* create = nullptr;
  if (SUCCEEDED(CreateErrorInfo(&create))) {
    create->SetGUID(kControl);
    create->SetSource(const_cast<LPOLESTR>(L"SpeechMikeControl"));
    create->SetDescription(const_cast<LPOLESTR>(description.c_str()));
    IErrorInfo* info = nullptr;
    if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
      SetErrorInfo(0, info);
      info->Release();
    }
    create->Release();
  }
  return E_FAIL;
}

class Control;

class Point : public IConnectionPoint {
 public:
  explicit Point(Control* owner);
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
      *object = static_cast<IConnectionPoint*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override {
    *iid = kEvents;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override;
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

 private:
  ULONG references_ = 1;
  Control* owner_;
};

class Control : public ControlTable, public IConnectionPointContainer, public ISupportErrorInfo {
 public:
  Control() {
    gBehaviour.live.push_back(this);
    InterlockedIncrement(&gServerReferences);
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, kControl)) {
      *object = static_cast<ControlTable*>(this);
    } else if (IsEqualIID(iid, IID_IConnectionPointContainer)) {
      *object = static_cast<IConnectionPointContainer*>(this);
    } else if (IsEqualIID(iid, IID_ISupportErrorInfo)) {
      *object = static_cast<ISupportErrorInfo*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return DISP_E_MEMBERNOTFOUND;
  }

  HRESULT STDMETHODCALLTYPE Slot07_InitializeDevice(LONG mode) override {
    if (HRESULT failed = Called(L"InitializeDevice", L"(" + std::to_wstring(mode) + L")")) return failed;
    initialized_ = true;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Slot08_DeactivateDevice() override {
    if (HRESULT failed = Called(L"DeactivateDevice", L"()")) return failed;
    active_ = false;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Slot09_ActivateDevice() override {
    if (HRESULT failed = Called(L"ActivateDevice", L"()")) return failed;
    if (!initialized_) return Fail(L"Not initialized.");
    active_ = true;
    ScriptActivated();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Slot10_UninitializeDevice() override {
    if (HRESULT failed = Called(L"UninitializeDevice", L"()")) return failed;
    initialized_ = false;
    active_ = false;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Slot11() override { return Unexpected(11); }
  HRESULT STDMETHODCALLTYPE Slot12() override { return Unexpected(12); }
  HRESULT STDMETHODCALLTYPE Slot13() override { return Unexpected(13); }
  HRESULT STDMETHODCALLTYPE Slot14() override { return Unexpected(14); }
  HRESULT STDMETHODCALLTYPE Slot15() override { return Unexpected(15); }
  HRESULT STDMETHODCALLTYPE Slot16() override { return Unexpected(16); }
  HRESULT STDMETHODCALLTYPE Slot17() override { return Unexpected(17); }
  HRESULT STDMETHODCALLTYPE Slot18_SetDisplayState(LONG device, LONG state) override {
    if (HRESULT failed = Called(L"SetDisplayState", L"(" + std::to_wstring(device) + L"," + std::to_wstring(state) + L")"))
      return failed;
    if (!initialized_) return Fail(L"Not initialized.");
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override {
    if (!IsEqualIID(iid, kEvents)) {
      *point = nullptr;
      return CONNECT_E_NOCONNECTION;
    }
    *point = new Point(this);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
    return IsEqualIID(iid, kControl) ? S_OK : S_FALSE;
  }

  HRESULT Advise(IUnknown* unknown, DWORD* cookie) {
    IDispatch* sink = nullptr;
    if (unknown == nullptr || FAILED(unknown->QueryInterface(kEvents, reinterpret_cast<void**>(&sink))))
      return CONNECT_E_CANNOTCONNECT;
    sinks_[nextCookie_] = sink;
    *cookie = nextCookie_++;
    return S_OK;
  }
  HRESULT Unadvise(DWORD cookie) {
    const auto sink = sinks_.find(cookie);
    if (sink == sinks_.end()) return CONNECT_E_NOCONNECTION;
    sink->second->Release();
    sinks_.erase(sink);
    return S_OK;
  }
  size_t Subscribed() const { return sinks_.size(); }

  void Fire(const PendingEvent& event) {
    if (!initialized_ || !active_) return;
    const auto sinks = sinks_;  // a sink may unadvise while it handles the event
    for (const auto& [cookie, sink] : sinks) {
      if (sinks_.find(cookie) == sinks_.end()) continue;
      VARIANT args[2];
      VariantInit(&args[0]);
      VariantInit(&args[1]);
      BSTR barcode = nullptr;
      UINT count = 1;
      // Last parameter first: args[0] is the value, args[1] the device.
      args[1].vt = VT_I4;
      args[1].lVal = event.device;
      if (event.id == 4) {
        barcode = SysAllocString((L"CODE" + std::to_wstring(event.value)).c_str());
        args[0].vt = VT_BSTR | VT_BYREF;
        args[0].pbstrVal = &barcode;
        count = 2;
      } else if (event.id != 1 && event.id != 2 && event.id != 6) {
        args[0].vt = event.type;
        if (event.type == VT_UI4) args[0].ulVal = event.value;
        else args[0].lVal = static_cast<LONG>(event.value);
        count = 2;
      }
      DISPPARAMS params{count == 2 ? args : &args[1], nullptr, count, 0};
      AddRef();
      sink->Invoke(event.id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
      if (barcode != nullptr) {
        gBehaviour.lastBarcode.assign(barcode, SysStringLen(barcode));
        SysFreeString(barcode);
      }
      Release();
    }
  }

 private:
  ~Control() {
    for (auto& [cookie, sink] : sinks_) sink->Release();
    gBehaviour.live.erase(std::find(gBehaviour.live.begin(), gBehaviour.live.end(), this));
    InterlockedDecrement(&gServerReferences);
  }

  HRESULT Called(const std::wstring& name, const std::wstring& arguments) {
    gBehaviour.calls.push_back(name + arguments);
    ScriptRecord(name + arguments);
    const auto failure = gBehaviour.failures.find(name);
    return failure == gBehaviour.failures.end() ? S_OK : Fail(failure->second);
  }
  HRESULT Unexpected(int slot) {
    gBehaviour.calls.push_back(L"Slot" + std::to_wstring(slot));
    return E_NOTIMPL;
  }

  ULONG references_ = 1;
  bool initialized_ = false;
  bool active_ = false;
  std::map<DWORD, IDispatch*> sinks_;
  DWORD nextCookie_ = 1;
};

Point::Point(Control* owner) : owner_(owner) { static_cast<ControlTable*>(owner_)->AddRef(); }
ULONG STDMETHODCALLTYPE Point::Release() {
  const ULONG left = --references_;
  if (left == 0) {
    static_cast<ControlTable*>(owner_)->Release();
    delete this;
  }
  return left;
}
HRESULT STDMETHODCALLTYPE Point::GetConnectionPointContainer(IConnectionPointContainer** container) {
  return owner_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(container));
}
HRESULT STDMETHODCALLTYPE Point::Advise(IUnknown* sink, DWORD* cookie) { return owner_->Advise(sink, cookie); }
HRESULT STDMETHODCALLTYPE Point::Unadvise(DWORD cookie) { return owner_->Unadvise(cookie); }

class Factory : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
      *object = this;
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    auto* control = new Control;
    const HRESULT status = static_cast<ControlTable*>(control)->QueryInterface(iid, object);
    static_cast<ControlTable*>(control)->Release();
    return status;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) InterlockedIncrement(&gServerReferences);
    else InterlockedDecrement(&gServerReferences);
    return S_OK;
  }
};
Factory gFactory;

void FireToLive(const PendingEvent& event) {
  const auto live = gBehaviour.live;
  for (Control* control : live) {
    if (std::find(gBehaviour.live.begin(), gBehaviour.live.end(), control) != gBehaviour.live.end()) control->Fire(event);
  }
}

LRESULT CALLBACK EventWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kFire) {
    auto* event = reinterpret_cast<PendingEvent*>(lParam);
    FireToLive(*event);
    delete event;
    return 0;
  }
  if (message == kFireFromOutside) {
    FireToLive(PendingEvent{static_cast<DISPID>(wParam), 1, static_cast<ULONG>(lParam), VT_UI4});
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND EventWindow() {
  if (gBehaviour.window == nullptr) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = EventWindowProc;
    windowClass.hInstance = gModule;
    windowClass.lpszClassName = L"OrvaneTestSpeechMike";
    RegisterClassW(&windowClass);
    gBehaviour.window = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, gModule, nullptr);
  }
  return gBehaviour.window;
}

int CopyOut(const std::wstring& text, wchar_t* buffer, int size) {
  if (buffer != nullptr && size > 0) {
    const size_t length = std::min(text.size(), static_cast<size_t>(size - 1));
    text.copy(buffer, length);
    buffer[length] = L'\0';
  }
  return static_cast<int>(text.size());
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) gModule = instance;
  return TRUE;
}

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (!IsEqualCLSID(clsid, kClass)) return CLASS_E_CLASSNOTAVAILABLE;
  return gFactory.QueryInterface(iid, object);
}

HRESULT STDAPICALLTYPE DllCanUnloadNow() { return gServerReferences == 0 ? S_OK : S_FALSE; }

// Per user, under HKCU\Software\Classes: no administrator rights needed.
HRESULT STDAPICALLTYPE DllRegisterServer() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(gModule, path, MAX_PATH);
  HKEY key = nullptr;
  const std::wstring server = std::wstring(kClassKey) + L"\\InprocServer32";
  if (RegCreateKeyExW(HKEY_CURRENT_USER, server.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return SELFREG_E_CLASS;
  RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path), (length + 1) * sizeof(wchar_t));
  const wchar_t model[] = L"Apartment";
  RegSetValueExW(key, L"ThreadingModel", 0, REG_SZ, reinterpret_cast<const BYTE*>(model), sizeof model);
  RegCloseKey(key);
  return S_OK;
}

HRESULT STDAPICALLTYPE DllUnregisterServer() {
  const LSTATUS status = RegDeleteTreeW(HKEY_CURRENT_USER, kClassKey);
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? S_OK : SELFREG_E_CLASS;
}

void WINAPI TestSpm_Reset() {
  gBehaviour.calls.clear();
  gBehaviour.failures.clear();
  gBehaviour.lastBarcode.clear();
}

// Every later call of the operation fails with the description; none clears it.
void WINAPI TestSpm_Fail(const wchar_t* operation, const wchar_t* description) {
  if (description == nullptr) gBehaviour.failures.erase(operation);
  else gBehaviour.failures[operation] = description;
}

// Raises the event from the calling thread's message loop, to every initialised and active
// instance; the value goes as a VARIANT of the given type (VT_I4 or VT_UI4).
BOOL WINAPI TestSpm_Post(int id, int device, ULONG value, int type) {
  auto* event = new PendingEvent{id, device, value, static_cast<VARTYPE>(type)};
  if (!PostMessageW(EventWindow(), kFire, 0, reinterpret_cast<LPARAM>(event))) {
    delete event;
    return FALSE;
  }
  return TRUE;
}

// The calls received, one a line.
int WINAPI TestSpm_Calls(wchar_t* buffer, int size) {
  std::wstring text;
  for (const auto& call : gBehaviour.calls) text += call + L"\n";
  return CopyOut(text, buffer, size);
}

int WINAPI TestSpm_Subscribed() {
  size_t count = 0;
  for (Control* control : gBehaviour.live) count += control->Subscribed();
  return static_cast<int>(count);
}

int WINAPI TestSpm_LiveObjects() { return static_cast<int>(gBehaviour.live.size()); }

// Puts a new instance in the running object table (running) or takes it out again.
HRESULT WINAPI TestSpm_RegisterRunning(BOOL running) {
  if (!running) {
    if (gBehaviour.runningCookie == 0) return S_FALSE;
    const HRESULT status = RevokeActiveObject(gBehaviour.runningCookie, nullptr);
    gBehaviour.runningCookie = 0;
    return status;
  }
  auto* control = new Control;
  const HRESULT status = RegisterActiveObject(static_cast<ControlTable*>(control), kClass, ACTIVEOBJECT_STRONG,
                                              &gBehaviour.runningCookie);
  static_cast<ControlTable*>(control)->Release();
  return status;
}

// The barcode text as the last sink handed it back.
int WINAPI TestSpm_LastBarcode(wchar_t* buffer, int size) { return CopyOut(gBehaviour.lastBarcode, buffer, size); }

}  // extern "C"
