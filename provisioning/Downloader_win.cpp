// URL download on Windows, through URLDownloadToFileW of the URL moniker library, loaded at run
// time and kept: after an aborted transfer the library's own threads may still run and call back.
// The status callback decides what stops the transfer; a watching thread lets it check the time
// limits while the library is silent.

#include <windows.h>
#include <urlmon.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/ComScope_win.h"
#include "platform/Port.h"
#include "platform/TextConversion.h"
#include "provisioning/DownloadStatusCallback_win.h"
#include "provisioning/Downloader.h"

namespace orvane {

namespace {

using URLDownloadToFileWFunction = HRESULT(WINAPI*)(LPUNKNOWN, LPCWSTR, LPCWSTR, DWORD, LPBINDSTATUSCALLBACK);

// Lets the callback watch its time limits, from a thread of its own, for as long as it lives.
class TransferWatch {
 public:
  TransferWatch(DownloadStatusCallback& callback, const TDownloadSettings& settings) {
    const auto period = std::clamp<std::chrono::milliseconds>(std::min(settings.stallLimit, settings.timeLimit) / 4,
                                                              std::chrono::milliseconds(10),
                                                              std::chrono::milliseconds(1000));
    thread_ = std::thread([this, &callback, period] {
      std::unique_lock<std::mutex> lock(mutex_);
      while (!cv_.wait_for(lock, period, [this] { return done_; })) callback.Watch();
    });
  }
  ~TransferWatch() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      done_ = true;
    }
    cv_.notify_all();
    thread_.join();
  }
  TransferWatch(const TransferWatch&) = delete;
  TransferWatch& operator=(const TransferWatch&) = delete;

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  bool done_ = false;
  std::thread thread_;
};

class DownloaderWin : public Downloader {
 public:
  void DownloadToFile(const std::string& url, const std::string& file, const TDownloadSettings& settings,
                      const TDownloadProgress& onProgress) override {
    const std::string prefix = "Téléchargement de " + url + " : ";
    HMODULE library = LoadLibraryW(L"urlmon.dll");
    if (!library) throw EDownloadError(prefix + "URLMON.DLL introuvable");
    auto download = reinterpret_cast<URLDownloadToFileWFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "URLDownloadToFileW")));
    if (!download) throw EDownloadError(prefix + "URLDownloadToFileW introuvable");
    HRESULT result;
    const std::unique_ptr<DownloadStatusCallback, void (*)(DownloadStatusCallback*)> owned(
        new DownloadStatusCallback(url, settings, onProgress), [](DownloadStatusCallback* callback) {
          callback->Detach();
          callback->Release();
        });
    DownloadStatusCallback& callback = *owned;
    {
      ScopedComApartment com;
      TransferWatch watch(callback, settings);
      result = download(nullptr, Utf8ToWide(url).c_str(), Utf8ToWide(file).c_str(), 0, &callback);
    }
    const std::string refusal = callback.Refusal();
    if (!refusal.empty()) throw EDownloadError(prefix + refusal);
    if (FAILED(result)) throw EDownloadError(prefix + "erreur " + HresultText(result));
    if (!callback.Answered()) throw EDownloadError(prefix + "aucune réponse HTTP 200 reçue");
    WIN32_FILE_ATTRIBUTE_DATA attributes;
    if (!GetFileAttributesExW(Utf8ToWide(file).c_str(), GetFileExInfoStandard, &attributes)) {
      throw EDownloadError(prefix + "fichier absent après le transfert");
    }
    const uint64_t size = (static_cast<uint64_t>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow;
    if (size > settings.sizeLimit) throw EDownloadError(prefix + "taille maximale dépassée");
    // A connection closed before the announced length is a broken transfer, whatever the library says.
    if (callback.AnnouncedLength() != 0 && size != callback.AnnouncedLength()) {
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
