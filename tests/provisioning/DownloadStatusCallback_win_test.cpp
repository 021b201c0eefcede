// The download's status callback fed as Windows' URL moniker library feeds it, with a binding of
// the test's: Windows reports each redirect (Wine reports none), and a binding may stop at once,
// calling the callback back from inside Abort.

#include "provisioning/DownloadStatusCallback_win.h"

#include <windows.h>
#include <urlmon.h>
#include <wininet.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "tests/support/HangLimit.h"

namespace orvane {
namespace {

class TestBinding final : public IBinding, public IWinInetInfo {
 public:
  explicit TestBinding(std::wstring address) : address_(std::move(address)) {}

  DownloadStatusCallback* callback = nullptr;
  int aborts = 0;

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IBinding)) {
      *object = static_cast<IBinding*>(this);
    } else if (IsEqualIID(iid, IID_IWinInetInfo)) {
      *object = static_cast<IWinInetInfo*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  // The binding stops at once, on the aborting thread.
  STDMETHODIMP Abort() override {
    ++aborts;
    return callback->OnStopBinding(E_ABORT, nullptr);
  }
  STDMETHODIMP Suspend() override { return E_NOTIMPL; }
  STDMETHODIMP Resume() override { return E_NOTIMPL; }
  STDMETHODIMP SetPriority(LONG) override { return E_NOTIMPL; }
  STDMETHODIMP GetPriority(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP GetBindResult(CLSID*, DWORD*, LPOLESTR*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP QueryOption(DWORD option, LPVOID buffer, DWORD* size) override {
    if (option != INTERNET_OPTION_URL || *size < (address_.size() + 1) * sizeof(wchar_t)) return S_FALSE;
    wcscpy(static_cast<wchar_t*>(buffer), address_.c_str());
    return S_OK;
  }

 private:
  std::wstring address_;
};

// A callback bound to Binding, as the library starts it; released at the end of the test.
class Transfer {
 public:
  Transfer(const std::string& url, TestBinding& binding, const TDownloadSettings& settings = {})
      : callback_(new DownloadStatusCallback(url, settings, progress_)) {
    binding.callback = callback_;
    callback_->OnStartBinding(0, &binding);
  }
  ~Transfer() {
    callback_->Detach();
    callback_->Release();
  }
  DownloadStatusCallback& operator*() { return *callback_; }
  DownloadStatusCallback* operator->() { return callback_; }

 private:
  TDownloadProgress progress_ = [](uint32_t, uint32_t, uint32_t, const std::string&, bool&) {};
  DownloadStatusCallback* callback_;
};

// Runs Call on a thread of its own; false when it has not returned by the hang limit.
bool Returns(const std::function<void()>& call) {
  std::packaged_task<void()> task(call);
  std::future<void> done = task.get_future();
  std::thread thread(std::move(task));
  if (done.wait_for(testing::kHangLimit) != std::future_status::ready) {
    thread.detach();
    return false;
  }
  thread.join();
  return true;
}

TEST(DownloadStatusCallback, ARedirectOutOfHttpsIsRefusedWhetherReportedOrOnlySeenInTheAnswer) {
  TestBinding binding(L"https://127.0.0.1/SpMikeCtrl.msi");
  {
    // Windows reports the redirect: it is refused there, without an abort under the callback's locks.
    Transfer transfer("https://127.0.0.1/moved", binding);
    HRESULT result = S_OK;
    ASSERT_TRUE(Returns([&] { result = transfer->OnProgress(0, 0, BINDSTATUS_REDIRECTING, L"hTTp://127.0.0.1/x"); }));
    EXPECT_EQ(result, E_ABORT);
    EXPECT_EQ(transfer->Refusal(), "redirection refusée vers hTTp://127.0.0.1/x");
  }
  for (const wchar_t* address : {L"http://127.0.0.1/SpMikeCtrl.msi", L"HTTP://127.0.0.1/SpMikeCtrl.msi"}) {
    // Only the answer's address shows it, as under Wine.
    TestBinding followed(address);
    Transfer transfer("https://127.0.0.1/moved", followed);
    EXPECT_EQ(transfer->OnResponse(200, L"", nullptr, nullptr), E_ABORT);
    EXPECT_NE(transfer->Refusal().find("redirection refusée"), std::string::npos);
  }
  // An answer whose address cannot be read could come from anywhere.
  TestBinding unknown(L"");
  Transfer nowhere("http://127.0.0.1/SpMikeCtrl.msi", unknown);
  EXPECT_EQ(nowhere->OnResponse(200, L"", nullptr, nullptr), E_ABORT);
  EXPECT_FALSE(nowhere->Answered());
  Transfer secure("HTTPS://127.0.0.1/moved", binding);
  EXPECT_EQ(secure->OnProgress(0, 0, BINDSTATUS_REDIRECTING, L"https://127.0.0.1/SpMikeCtrl.msi"), S_OK);
  EXPECT_EQ(secure->OnResponse(200, L"", nullptr, nullptr), S_OK);
  EXPECT_EQ(secure->Refusal(), "");
  EXPECT_TRUE(secure->Answered());
}

TEST(DownloadStatusCallback, APassedTimeLimitAbortsABindingThatStopsAtOnce) {
  TestBinding binding(L"http://127.0.0.1/SpMikeCtrl.msi");
  TDownloadSettings settings;
  settings.timeLimit = std::chrono::milliseconds(0);
  Transfer late("http://127.0.0.1/SpMikeCtrl.msi", binding, settings);
  ASSERT_TRUE(Returns([&] { late->Watch(); }));
  EXPECT_EQ(binding.aborts, 1);
  EXPECT_EQ(late->Refusal(), "durée maximale dépassée, transfert abandonné");
}

}  // namespace
}  // namespace orvane
