#include "provisioning/DownloadStatusCallback_win.h"

#include <wininet.h>

#include "platform/TextConversion.h"

namespace orvane {

DownloadStatusCallback::DownloadStatusCallback(const std::string& url, const TDownloadSettings& settings,
                                               const TDownloadProgress& onProgress)
    : url_(url),
      settings_(settings),
      onProgress_(onProgress),
      deadline_(Clock::now() + settings.timeLimit),
      lastActivity_(Clock::now().time_since_epoch().count()) {}

DownloadStatusCallback::~DownloadStatusCallback() { ReleaseBinding(); }

STDMETHODIMP DownloadStatusCallback::QueryInterface(REFIID iid, void** object) {
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IBindStatusCallback)) {
    *object = static_cast<IBindStatusCallback*>(this);
  } else if (IsEqualIID(iid, IID_IHttpNegotiate)) {
    *object = static_cast<IHttpNegotiate*>(this);
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) DownloadStatusCallback::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

void DownloadStatusCallback::Watch() {
  const Clock::time_point now = Clock::now();
  const Clock::time_point lastActivity{Clock::duration(lastActivity_.load())};
  if (detached_ || aborted_) return;
  if (now >= deadline_) {
    Stop("durée maximale dépassée, transfert abandonné");
  } else if (now - lastActivity >= settings_.stallLimit) {
    Stop("plus rien reçu, transfert abandonné");
  }
  // Also a stop a callback already answered: a library may go on receiving after it (Wine does).
  if (Refusal().empty()) return;
  // Outside every lock: the abort may stop the binding at once, through OnStopBinding.
  if (IBinding* binding = Binding()) {
    aborted_ = true;
    binding->Abort();
    binding->Release();
  }
}

std::string DownloadStatusCallback::Refusal() const {
  std::lock_guard<std::mutex> guard(refusalMutex_);
  return refusal_;
}

bool DownloadStatusCallback::Answered() const {
  std::lock_guard<std::mutex> guard(refusalMutex_);
  return answered_;
}

HRESULT DownloadStatusCallback::Stop(const std::string& reason) {
  std::lock_guard<std::mutex> guard(refusalMutex_);
  if (refusal_.empty()) refusal_ = reason;
  return E_ABORT;
}

IBinding* DownloadStatusCallback::Binding() {
  std::lock_guard<std::mutex> guard(bindingMutex_);
  if (binding_) binding_->AddRef();
  return binding_;
}

void DownloadStatusCallback::ReleaseBinding() {
  IBinding* binding = nullptr;
  {
    std::lock_guard<std::mutex> guard(bindingMutex_);
    binding = binding_;
    binding_ = nullptr;
  }
  if (binding) binding->Release();
}

std::string DownloadStatusCallback::BindingAddress() {
  IBinding* binding = Binding();
  if (!binding) return "";
  std::string address;
  IWinInetInfo* info = nullptr;
  if (SUCCEEDED(binding->QueryInterface(IID_IWinInetInfo, reinterpret_cast<void**>(&info))) && info) {
    wchar_t text[INTERNET_MAX_URL_LENGTH + 1] = {};
    DWORD size = sizeof text - sizeof text[0];
    if (info->QueryOption(INTERNET_OPTION_URL, text, &size) == S_OK) address = WideToUtf8(text);
    info->Release();
  }
  binding->Release();
  return address;
}

STDMETHODIMP DownloadStatusCallback::OnStartBinding(DWORD, IBinding* binding) {
  if (binding) binding->AddRef();
  ReleaseBinding();
  {
    std::lock_guard<std::mutex> guard(bindingMutex_);
    binding_ = binding;
  }
  lastActivity_ = Clock::now().time_since_epoch().count();
  return S_OK;
}

STDMETHODIMP DownloadStatusCallback::OnProgress(ULONG progress, ULONG progressMax, ULONG statusCode,
                                                LPCWSTR statusText) {
  if (detached_) return E_ABORT;
  lastActivity_ = Clock::now().time_since_epoch().count();
  const std::string text = statusText ? WideToUtf8(statusText) : std::string();
  if (statusCode == BINDSTATUS_REDIRECTING) {
    if (!RedirectAllowed(url_, text)) return Stop("redirection refusée vers " + text);
    url_ = text;
  }
  if (progress > settings_.sizeLimit) return Stop("taille maximale dépassée");
  if (Clock::now() >= deadline_) return Stop("durée maximale dépassée, transfert abandonné");
  if (statusCode == BINDSTATUS_DOWNLOADINGDATA || statusCode == BINDSTATUS_ENDDOWNLOADDATA) announced_ = progressMax;
  bool cancel = false;
  onProgress_(progress, progressMax, statusCode, text, cancel);
  return cancel ? Stop("annulé") : S_OK;
}

STDMETHODIMP DownloadStatusCallback::OnStopBinding(HRESULT, LPCWSTR) {
  ReleaseBinding();
  return S_OK;
}

STDMETHODIMP DownloadStatusCallback::GetBindInfo(DWORD* flags, BINDINFO*) {
  // Always the server's current package, never a copy from the browser cache.
  *flags = BINDF_GETNEWESTVERSION | BINDF_NOWRITECACHE | BINDF_PRAGMA_NO_CACHE;
  return S_OK;
}

STDMETHODIMP DownloadStatusCallback::OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) {
  lastActivity_ = Clock::now().time_since_epoch().count();
  return S_OK;
}

STDMETHODIMP DownloadStatusCallback::BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR* additionalHeaders) {
  *additionalHeaders = nullptr;
  return S_OK;
}

STDMETHODIMP DownloadStatusCallback::OnResponse(DWORD responseCode, LPCWSTR, LPCWSTR, LPWSTR* additionalHeaders) {
  if (additionalHeaders) *additionalHeaders = nullptr;
  // Only a whole answer is the package: stop before the body of any other is saved.
  if (responseCode != 200) return Stop("statut HTTP " + std::to_string(responseCode));
  // The answer's address, after every redirect the library followed, reported or not.
  const std::string address = BindingAddress();
  if (address.empty()) return Stop("adresse de la réponse inconnue");
  if (!RedirectAllowed(url_, address)) return Stop("redirection refusée vers " + address);
  std::lock_guard<std::mutex> guard(refusalMutex_);
  answered_ = true;
  return S_OK;
}

}  // namespace orvane
