#pragma once
// The status callback of a download through the URL moniker library. It feeds the progress
// handler and stops the transfer at the first thing that makes its result no package: an answer
// other than 200; a redirect that leaves HTTPS, whether the library reports it (Windows does) or
// only the binding's final address shows it (Wine follows redirects without a word); more bytes
// than the size limit; the time limit passed or nothing received for the stall limit, which a
// watching thread checks. A callback returns E_ABORT to stop; the watching thread aborts the
// binding, never under a lock that the binding's own callbacks take.

#include <windows.h>
#include <urlmon.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>

#include "provisioning/Downloader.h"

namespace orvane {

class DownloadStatusCallback final : public IBindStatusCallback, public IHttpNegotiate {
 public:
  // Created with one reference, which Release gives back.
  DownloadStatusCallback(const std::string& url, const TDownloadSettings& settings,
                         const TDownloadProgress& onProgress);

  // Once the download call has returned, late calls from the library find the object alive but
  // no longer reach the caller's progress handler.
  void Detach() { detached_ = true; }
  // From the watching thread: aborts the binding once a time limit is passed or a callback
  // refused the transfer.
  void Watch();
  // Why this callback stopped the transfer, "" when it did not.
  std::string Refusal() const;
  // Whether the answer was a 200 from an address the download may come from.
  bool Answered() const;
  // The length the server announced, 0 when it announced none.
  ULONG AnnouncedLength() const { return announced_; }

  // IUnknown: the library may keep a reference past the download call, so the object lives until
  // the last one goes.
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override;

  // IBindStatusCallback
  STDMETHODIMP OnStartBinding(DWORD, IBinding* binding) override;
  STDMETHODIMP GetPriority(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP OnLowResource(DWORD) override { return S_OK; }
  STDMETHODIMP OnProgress(ULONG progress, ULONG progressMax, ULONG statusCode, LPCWSTR statusText) override;
  STDMETHODIMP OnStopBinding(HRESULT, LPCWSTR) override;
  STDMETHODIMP GetBindInfo(DWORD* flags, BINDINFO* info) override;
  STDMETHODIMP OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override;
  STDMETHODIMP OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

  // IHttpNegotiate
  STDMETHODIMP BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR* additionalHeaders) override;
  STDMETHODIMP OnResponse(DWORD responseCode, LPCWSTR, LPCWSTR, LPWSTR* additionalHeaders) override;

 private:
  using Clock = std::chrono::steady_clock;

  ~DownloadStatusCallback();
  // Keeps the first reason; E_ABORT, for the callback to return.
  HRESULT Stop(const std::string& reason);
  // The binding with a reference of the caller's, or null.
  IBinding* Binding();
  void ReleaseBinding();
  // The address the binding reads from now, after the redirects it followed; "" when unknown.
  std::string BindingAddress();

  std::string url_;  // where the transfer is now, after the redirects reported so far
  const TDownloadSettings settings_;
  const TDownloadProgress& onProgress_;
  const Clock::time_point deadline_;
  std::atomic<Clock::rep> lastActivity_;
  std::atomic<ULONG> references_{1};
  std::atomic<bool> detached_{false};
  bool aborted_ = false;  // by the watching thread alone
  std::mutex bindingMutex_;
  IBinding* binding_ = nullptr;
  mutable std::mutex refusalMutex_;
  std::string refusal_;
  bool answered_ = false;  // a 200 from an address the download may come from
  std::atomic<ULONG> announced_{0};
};

}  // namespace orvane
