// URL download on Windows, through URLDownloadToFileW of the URL moniker library, loaded at run
// time and kept: after an aborted transfer the library's own threads may still run and call back. A status callback feeds the progress handler, reads the HTTP status of the answer,
// refuses a redirect that leaves HTTPS, and breaks off a transfer that falls silent: a watching
// thread aborts the binding once nothing came for the stall limit.

#include <windows.h>
#include <urlmon.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/ComScope_win.h"
#include "platform/Port.h"
#include "platform/TextConversion.h"
#include "provisioning/Downloader.h"

namespace orvane {

namespace {

using URLDownloadToFileWFunction = HRESULT(WINAPI*)(LPUNKNOWN, LPCWSTR, LPCWSTR, DWORD, LPBINDSTATUSCALLBACK);

class StatusCallback final : public IBindStatusCallback, public IHttpNegotiate {
 public:
  StatusCallback(const TDownloadProgress& onProgress, const std::string& url) : onProgress_(onProgress), url_(url) {}

  // Once the download call has returned, late calls from the library find the object alive but
  // no longer reach the caller's progress handler.
  void Detach() { detached_ = true; }

  bool cancelled = false;
  std::atomic<bool> stalled{false};
  std::string refusedRedirect;
  DWORD httpStatus = 0;
  ULONG expected = 0;

  // Called by the watching thread: breaks the transfer off once nothing came for the limit.
  void CheckStall(ULONGLONG limitMilliseconds) {
    IBinding* binding = nullptr;
    {
      std::lock_guard<std::mutex> guard(bindingMutex_);
      if (!binding_ || GetTickCount64() - lastActivity_ < limitMilliseconds) return;
      binding = binding_;
      binding->AddRef();
    }
    // Outside the lock: the abort may stop the binding, which lets it go.
    stalled = true;
    binding->Abort();
    binding->Release();
  }

  // IUnknown: the library may keep a reference past the download call, so the object lives until
  // the last one goes.
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
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
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // IBindStatusCallback
  STDMETHODIMP OnStartBinding(DWORD, IBinding* binding) override {
    ReleaseBinding();
    std::lock_guard<std::mutex> guard(bindingMutex_);
    binding_ = binding;
    if (binding_) binding_->AddRef();
    lastActivity_ = GetTickCount64();
    return S_OK;
  }
  STDMETHODIMP GetPriority(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP OnLowResource(DWORD) override { return S_OK; }
  STDMETHODIMP OnProgress(ULONG progress, ULONG progressMax, ULONG statusCode, LPCWSTR statusText) override {
    if (detached_) return E_ABORT;
    lastActivity_ = GetTickCount64();
    if (statusCode == BINDSTATUS_REDIRECTING) {
      const std::string target = statusText ? WideToUtf8(statusText) : std::string();
      if (!RedirectAllowed(url_, target)) {
        refusedRedirect = target;
        std::lock_guard<std::mutex> guard(bindingMutex_);
        if (binding_) binding_->Abort();
        return E_ABORT;
      }
      url_ = target;
    }
    if (progressMax > expected) expected = progressMax;
    bool cancel = false;
    onProgress_(progress, progressMax, statusCode, statusText ? WideToUtf8(statusText) : std::string(), cancel);
    if (cancel) {
      cancelled = true;
      return E_ABORT;
    }
    return S_OK;
  }
  STDMETHODIMP OnStopBinding(HRESULT, LPCWSTR) override {
    ReleaseBinding();
    return S_OK;
  }
  STDMETHODIMP GetBindInfo(DWORD* flags, BINDINFO* info) override {
    // Always the server's current package, never a copy from the browser cache.
    *flags = BINDF_GETNEWESTVERSION | BINDF_NOWRITECACHE | BINDF_PRAGMA_NO_CACHE;
    (void)info;
    return S_OK;
  }
  STDMETHODIMP OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override {
    lastActivity_ = GetTickCount64();
    return S_OK;
  }
  STDMETHODIMP OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

  // IHttpNegotiate
  STDMETHODIMP BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR* additionalHeaders) override {
    *additionalHeaders = nullptr;
    return S_OK;
  }
  STDMETHODIMP OnResponse(DWORD responseCode, LPCWSTR, LPCWSTR, LPWSTR* additionalHeaders) override {
    if (additionalHeaders) *additionalHeaders = nullptr;
    httpStatus = responseCode;
    // An answer other than success is no package: stop before its body is saved.
    return responseCode >= 200 && responseCode <= 299 ? S_OK : E_ABORT;
  }

 private:
  ~StatusCallback() { ReleaseBinding(); }

  void ReleaseBinding() {
    std::lock_guard<std::mutex> guard(bindingMutex_);
    if (binding_) binding_->Release();
    binding_ = nullptr;
  }

  const TDownloadProgress& onProgress_;
  std::string url_;  // where the transfer is now, after the redirects so far
  std::mutex bindingMutex_;
  IBinding* binding_ = nullptr;
  std::atomic<ULONGLONG> lastActivity_{GetTickCount64()};
  std::atomic<ULONG> references_{1};
  std::atomic<bool> detached_{false};
};

// Watches the callback for stalls, from a thread of its own, for as long as it lives.
class StallWatch {
 public:
  explicit StallWatch(StatusCallback& callback) {
    const auto limit = DownloadSettings().stallLimit;
    const auto period = std::clamp<std::chrono::milliseconds>(limit / 4, std::chrono::milliseconds(10),
                                                              std::chrono::milliseconds(1000));
    thread_ = std::thread([this, &callback, limit, period] {
      std::unique_lock<std::mutex> lock(mutex_);
      while (!cv_.wait_for(lock, period, [this] { return done_; })) {
        callback.CheckStall(static_cast<ULONGLONG>(limit.count()));
      }
    });
  }
  ~StallWatch() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      done_ = true;
    }
    cv_.notify_all();
    thread_.join();
  }
  StallWatch(const StallWatch&) = delete;
  StallWatch& operator=(const StallWatch&) = delete;

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  bool done_ = false;
  std::thread thread_;
};

class DownloaderWin : public Downloader {
 public:
  void DownloadToFile(const std::string& url, const std::string& file, const TDownloadProgress& onProgress) override {
    const std::string prefix = "Téléchargement de " + url + " : ";
    HMODULE library = LoadLibraryW(L"urlmon.dll");
    if (!library) throw EDownloadError(prefix + "URLMON.DLL introuvable");
    auto download = reinterpret_cast<URLDownloadToFileWFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "URLDownloadToFileW")));
    if (!download) throw EDownloadError(prefix + "URLDownloadToFileW introuvable");
    HRESULT result;
    const std::unique_ptr<StatusCallback, void (*)(StatusCallback*)> owned(
        new StatusCallback(onProgress, url), [](StatusCallback* callback) {
          callback->Detach();
          callback->Release();
        });
    StatusCallback& callback = *owned;
    {
      ScopedComApartment com;
      StallWatch watch(callback);
      result = download(nullptr, Utf8ToWide(url).c_str(), Utf8ToWide(file).c_str(), 0, &callback);
    }
    if (!callback.refusedRedirect.empty()) {
      throw EDownloadError(prefix + "redirection refusée vers " + callback.refusedRedirect);
    }
    if (callback.stalled) throw EDownloadError(prefix + "plus rien reçu, transfert abandonné");
    if (callback.cancelled) throw EDownloadError(prefix + "annulé");
    if (callback.httpStatus != 0 && (callback.httpStatus < 200 || callback.httpStatus > 299)) {
      throw EDownloadError(prefix + "statut HTTP " + std::to_string(callback.httpStatus));
    }
    if (FAILED(result)) throw EDownloadError(prefix + "erreur " + HresultText(result));
    // A connection closed before the announced size is a broken transfer, whatever the library says.
    WIN32_FILE_ATTRIBUTE_DATA attributes;
    if (!GetFileAttributesExW(Utf8ToWide(file).c_str(), GetFileExInfoStandard, &attributes)) {
      throw EDownloadError(prefix + "fichier absent après le transfert");
    }
    if (callback.expected != 0 && (attributes.nFileSizeHigh != 0 || attributes.nFileSizeLow < callback.expected)) {
      throw EDownloadError(prefix + "transfert interrompu");
    }
  }
};

}  // namespace

template <>
Downloader& PlatformAdapter<Downloader>() {
  static DownloaderWin adapter;
  return adapter;
}

}  // namespace orvane
