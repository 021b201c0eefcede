// URL download on Windows, through URLDownloadToFileW of the URL moniker library, loaded at run
// time. A status callback feeds the progress handler and reads the HTTP status of the answer.

#include <windows.h>
#include <urlmon.h>

#include "common/ComScope_win.h"
#include "common/Port.h"
#include "common/TextConversion.h"
#include "provisioning/Downloader.h"

namespace orvane {

namespace {

using URLDownloadToFileWFunction = HRESULT(WINAPI*)(LPUNKNOWN, LPCWSTR, LPCWSTR, DWORD, LPBINDSTATUSCALLBACK);

class StatusCallback : public IBindStatusCallback, public IHttpNegotiate {
 public:
  StatusCallback(const TDownloadProgress& onProgress) : onProgress_(onProgress) {}

  bool cancelled = false;
  DWORD httpStatus = 0;
  ULONG expected = 0;

  // IUnknown; the object lives on the caller's stack, so counting is only nominal.
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
  STDMETHODIMP_(ULONG) Release() override { return --references_; }

  // IBindStatusCallback
  STDMETHODIMP OnStartBinding(DWORD, IBinding*) override { return S_OK; }
  STDMETHODIMP GetPriority(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP OnLowResource(DWORD) override { return S_OK; }
  STDMETHODIMP OnProgress(ULONG progress, ULONG progressMax, ULONG statusCode, LPCWSTR statusText) override {
    if (progressMax > expected) expected = progressMax;
    bool cancel = false;
    onProgress_(progress, progressMax, statusCode, statusText ? WideToUtf8(statusText) : std::string(), cancel);
    if (cancel) {
      cancelled = true;
      return E_ABORT;
    }
    return S_OK;
  }
  STDMETHODIMP OnStopBinding(HRESULT, LPCWSTR) override { return S_OK; }
  STDMETHODIMP GetBindInfo(DWORD* flags, BINDINFO* info) override {
    // Always the server's current package, never a copy from the browser cache.
    *flags = BINDF_GETNEWESTVERSION | BINDF_NOWRITECACHE | BINDF_PRAGMA_NO_CACHE;
    (void)info;
    return S_OK;
  }
  STDMETHODIMP OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override { return S_OK; }
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
  const TDownloadProgress& onProgress_;
  ULONG references_ = 1;
};

class DownloaderWin : public Downloader {
 public:
  void DownloadToFile(const std::string& url, const std::string& file, const TDownloadProgress& onProgress) override {
    const std::string prefix = "Téléchargement de " + url + " : ";
    HMODULE library = LoadLibraryW(L"urlmon.dll");
    if (!library) throw EDownloadError(prefix + "URLMON.DLL introuvable");
    auto download = reinterpret_cast<URLDownloadToFileWFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "URLDownloadToFileW")));
    if (!download) {
      FreeLibrary(library);
      throw EDownloadError(prefix + "URLDownloadToFileW introuvable");
    }
    HRESULT result;
    StatusCallback callback(onProgress);
    {
      ScopedComApartment com;
      result = download(nullptr, Utf8ToWide(url).c_str(), Utf8ToWide(file).c_str(), 0, &callback);
    }
    FreeLibrary(library);
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
