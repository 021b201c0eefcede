// The Philips SpeechMike component over COM: attach to a running instance, else create one;
// call the operations through the dual interface's table; receive the events through the
// connection point with an IDispatch sink.
#include <ocidl.h>
#include <oleauto.h>
#include <windows.h>

#include <string>
#include <utility>

#include "common/Exceptions.h"
#include "platform/Port.h"
#include "platform/TextConversion.h"
#include "device/SpeechMikeComInterface_win.h"
#include "device/SpeechMikeComponent.h"

namespace orvane {

namespace {

std::string HexStatus(HRESULT status) {
  char text[16];
  snprintf(text, sizeof text, "%08lX", static_cast<unsigned long>(status));
  return text;
}

std::string SystemMessage(HRESULT status) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, static_cast<DWORD>(status), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string message;
  if (length > 0 && buffer != nullptr) message = WideToUtf8(std::wstring(buffer, length));
  if (buffer != nullptr) LocalFree(buffer);
  message = ComponentErrorMessage(message);
  if (!message.empty()) return message;
  // Texts of the statuses the connection meets, where the system has none.
  switch (status) {
    case REGDB_E_CLASSNOTREG: return "Classe non enregistrée";
    case CO_E_NOTINITIALIZED: return "CoInitialize n'a pas été appelé";
    case E_NOINTERFACE: return "Interface non prise en charge";
    case CLASS_E_CLASSNOTAVAILABLE: return "Classe non disponible";
    default: return "Erreur OLE " + HexStatus(status);
  }
}

// The error a failing status stands for: the component's own description when it gave one.
[[noreturn]] void ThrowStatus(HRESULT status) {
  IErrorInfo* info = nullptr;
  std::string description;
  if (GetErrorInfo(0, &info) == S_OK && info != nullptr) {
    BSTR text = nullptr;
    if (SUCCEEDED(info->GetDescription(&text)) && text != nullptr) {
      description = WideToUtf8(std::wstring(text, SysStringLen(text)));
      SysFreeString(text);
    }
    info->Release();
  }
  description = ComponentErrorMessage(description);
  if (!description.empty()) throw EOleException(description);
  throw EOleSysError(SystemMessage(status));
}

bool ReadInteger(const VARIANT* value, int64_t& out) {
  if (value == nullptr) return false;
  const bool byRef = (value->vt & VT_BYREF) != 0;
  switch (value->vt & ~VT_BYREF) {
    case VT_I1: out = byRef ? *value->pcVal : value->cVal; return true;
    case VT_UI1: out = byRef ? *value->pbVal : value->bVal; return true;
    case VT_I2: out = byRef ? *value->piVal : value->iVal; return true;
    case VT_UI2: out = byRef ? *value->puiVal : value->uiVal; return true;
    case VT_I4: out = byRef ? *value->plVal : value->lVal; return true;
    case VT_UI4: out = byRef ? *value->pulVal : value->ulVal; return true;
    case VT_INT: out = byRef ? *value->pintVal : value->intVal; return true;
    case VT_UINT: out = byRef ? *value->puintVal : value->uintVal; return true;
    case VT_I8: out = byRef ? *value->pllVal : value->llVal; return true;
    case VT_UI8: out = static_cast<int64_t>(byRef ? *value->pullVal : value->ullVal); return true;
    case VT_VARIANT: return byRef && ReadInteger(value->pvarVal, out);
    default: {
      VARIANT converted;
      VariantInit(&converted);
      if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(value), 0, VT_I8))) return false;
      out = converted.llVal;
      return true;
    }
  }
}

// The events' parameters arrive last first.
class EventSink : public IDispatch {
 public:
  explicit EventSink(SpeechMikeEventSink* target) : target_(target) {}
  void Detach() { target_ = nullptr; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, kDiidSpeechMikeEvents)) {
      *object = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count != nullptr) *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }

  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
    if (target_ == nullptr || params == nullptr) return S_OK;
    const auto arg = [params](UINT index) -> VARIANT* {
      return index < params->cArgs ? &params->rgvarg[params->cArgs - 1 - index] : nullptr;
    };
    int64_t device = 0, value = 0;
    if (!ReadInteger(arg(0), device)) return S_OK;
    const bool hasValue = ReadInteger(arg(1), value);
    const auto device32 = static_cast<int32_t>(device);
    const auto unsigned32 = static_cast<uint32_t>(value);
    const auto signed32 = static_cast<int32_t>(value);
    switch (id) {
      case 1: target_->DeviceConnected(device32); break;
      case 2: target_->DeviceDisconnected(device32); break;
      case 3: if (hasValue) target_->Button(device32, unsigned32); break;
      case 4: InvokeBarcode(device32, arg(1)); break;
      case 5: if (hasValue) target_->BatteryStatusChanged(device32, unsigned32); break;
      case 6: target_->UsbGapDetected(device32); break;
      case 7: if (hasValue) target_->WirelessStatusChanged(device32, unsigned32); break;
      case 8: if (hasValue) target_->DockStatusChanged(device32, unsigned32); break;
      case 9: if (hasValue) target_->FirmwareUpgradeProgress(device32, signed32); break;
      case 10: if (hasValue) target_->FirmwareTransferError(device32, unsigned32); break;
      case 11: if (hasValue) target_->UsbGap(device32, signed32); break;
      case 12: if (hasValue) target_->MotionControl(device32, unsigned32); break;
      default: break;
    }
    return S_OK;
  }

 private:
  virtual ~EventSink() = default;

  void InvokeBarcode(int32_t device, VARIANT* value) {
    BSTR* slot = nullptr;
    if (value != nullptr && value->vt == (VT_BSTR | VT_BYREF)) slot = value->pbstrVal;
    else if (value != nullptr && value->vt == VT_BSTR) slot = &value->bstrVal;
    std::string text;
    if (slot != nullptr && *slot != nullptr) text = WideToUtf8(std::wstring(*slot, SysStringLen(*slot)));
    const std::string before = text;
    target_->Barcode(device, text);
    if (slot != nullptr && value->vt == (VT_BSTR | VT_BYREF) && text != before) {
      SysFreeString(*slot);
      *slot = SysAllocString(Utf8ToWide(text).c_str());
    }
  }

  LONG references_ = 1;
  SpeechMikeEventSink* target_;
};

class ComConnection : public SpeechMikeConnection {
 public:
  explicit ComConnection(SpeechMikeEventSink& target) {
    // The window thread's apartment; balanced when the connection ends.
    comInitialised_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    try {
      Attach();
      Subscribe(target);
    } catch (...) {
      ReleaseAll();
      throw;
    }
  }
  ~ComConnection() override { ReleaseAll(); }

  void InitializeDevice(int32_t mode) override {
    SetErrorInfo(0, nullptr);
    Check(control_->InitializeDevice(mode));
  }
  void DeactivateDevice() override {
    SetErrorInfo(0, nullptr);
    Check(control_->DeactivateDevice());
  }
  void ActivateDevice() override {
    SetErrorInfo(0, nullptr);
    Check(control_->ActivateDevice());
  }
  void UninitializeDevice() override {
    SetErrorInfo(0, nullptr);
    Check(control_->UninitializeDevice());
  }
  void SetDisplayState(int32_t device, uint32_t state) override {
    SetErrorInfo(0, nullptr);
    Check(control_->SetDisplayState(device, static_cast<LONG>(state)));
  }

 private:
  static void Check(HRESULT status) {
    if (FAILED(status)) ThrowStatus(status);
  }

  void Attach() {
    IUnknown* running = nullptr;
    if (SUCCEEDED(GetActiveObject(kClsidSpeechMikeControl, nullptr, &running)) && running != nullptr) {
      running->QueryInterface(kIidSpeechMikeControl, reinterpret_cast<void**>(&control_));
      running->Release();
    }
    if (control_ != nullptr) return;
    const HRESULT status = CoCreateInstance(kClsidSpeechMikeControl, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                            kIidSpeechMikeControl, reinterpret_cast<void**>(&control_));
    if (FAILED(status) || control_ == nullptr) {
      control_ = nullptr;
      throw EOleSysError(SystemMessage(FAILED(status) ? status : E_NOINTERFACE));
    }
  }

  void Subscribe(SpeechMikeEventSink& target) {
    IConnectionPointContainer* container = nullptr;
    HRESULT status = control_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
    if (FAILED(status)) throw EOleSysError(SystemMessage(status));
    status = container->FindConnectionPoint(kDiidSpeechMikeEvents, &point_);
    container->Release();
    if (FAILED(status)) {
      point_ = nullptr;
      throw EOleSysError(SystemMessage(status));
    }
    sink_ = new EventSink(&target);
    status = point_->Advise(sink_, &cookie_);
    if (FAILED(status)) {
      cookie_ = 0;
      throw EOleSysError(SystemMessage(status));
    }
  }

  void ReleaseAll() {
    if (sink_ != nullptr) sink_->Detach();
    if (point_ != nullptr) {
      if (cookie_ != 0) point_->Unadvise(cookie_);
      point_->Release();
      point_ = nullptr;
    }
    if (sink_ != nullptr) {
      sink_->Release();
      sink_ = nullptr;
    }
    if (control_ != nullptr) {
      control_->Release();
      control_ = nullptr;
    }
    if (comInitialised_) CoUninitialize();
    comInitialised_ = false;
  }

  bool comInitialised_ = false;
  ISpeechMikeControl* control_ = nullptr;
  IConnectionPoint* point_ = nullptr;
  EventSink* sink_ = nullptr;
  DWORD cookie_ = 0;
};

// Whether the class's in-process server is registered in one registry view: the machine's
// classes as programs of that bitness see them, or the user's (shared by both views).
bool ClassRegisteredInView(REGSAM view) {
  wchar_t clsid[40] = {};
  StringFromGUID2(kClsidSpeechMikeControl, clsid, 40);
  const std::wstring server = std::wstring(L"CLSID\\") + clsid + L"\\InprocServer32";
  for (const auto& [root, prefix] : {std::pair{HKEY_CLASSES_ROOT, L""}, std::pair{HKEY_LOCAL_MACHINE, L"Software\\Classes\\"}}) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, (prefix + server).c_str(), 0, KEY_READ | view, &key) == ERROR_SUCCESS) {
      RegCloseKey(key);
      return true;
    }
  }
  return false;
}

class ComSpeechMike : public SpeechMikeComponent {
 public:
  std::unique_ptr<SpeechMikeConnection> Connect(SpeechMikeEventSink& sink) override {
    return std::make_unique<ComConnection>(sink);
  }
  bool RegisteredForOtherBitnessOnly() override {
    constexpr bool k64Bit = sizeof(void*) == 8;
    const REGSAM own = k64Bit ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
    const REGSAM other = k64Bit ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
    // On a 32-bit system both name the one view, so a missing class is never the other's.
    return !ClassRegisteredInView(own) && ClassRegisteredInView(other);
  }
};

}  // namespace

template <>
SpeechMikeComponent& PlatformAdapter<SpeechMikeComponent>() {
  static ComSpeechMike adapter;
  return adapter;
}

}  // namespace orvane
