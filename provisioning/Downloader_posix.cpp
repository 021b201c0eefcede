// URL download on Linux, through libcurl.

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <mutex>

#include "platform/Port.h"
#include "provisioning/Downloader.h"

namespace orvane {

namespace {

struct Transfer {
  std::FILE* file = nullptr;
  const TDownloadProgress* onProgress = nullptr;
  const std::string* url = nullptr;
  uint64_t sizeLimit = 0;
  uint64_t received = 0;
  bool cancelled = false;
  bool writeFailed = false;
  bool tooLarge = false;
  curl_off_t lastReceived = -1;
  curl_off_t lastExpected = -1;
};

size_t WriteData(char* data, size_t size, size_t count, void* user) {
  auto* transfer = static_cast<Transfer*>(user);
  transfer->received += size * count;
  // Returning less than was handed over ends the transfer.
  if (transfer->received > transfer->sizeLimit) {
    transfer->tooLarge = true;
    return 0;
  }
  const size_t written = std::fwrite(data, size, count, transfer->file);
  if (written != count) transfer->writeFailed = true;
  return written * size;
}

int Progress(void* user, curl_off_t expected, curl_off_t received, curl_off_t, curl_off_t) {
  auto* transfer = static_cast<Transfer*>(user);
  // libcurl calls this about once a second even when nothing moves; report changes only.
  if (received == transfer->lastReceived && expected == transfer->lastExpected) return 0;
  transfer->lastReceived = received;
  transfer->lastExpected = expected;
  if (received == 0 && expected == 0) return 0;
  bool cancel = false;
  (*transfer->onProgress)(static_cast<uint32_t>(received), static_cast<uint32_t>(expected), kBindStatusDownloadingData,
                          *transfer->url, cancel);
  if (cancel) transfer->cancelled = true;
  return cancel ? 1 : 0;
}

class DownloaderPosix : public Downloader {
 public:
  void DownloadToFile(const std::string& url, const std::string& file, const TDownloadSettings& settings,
                      const TDownloadProgress& onProgress) override {
    static std::once_flag initialised;
    std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

    const std::string prefix = "Téléchargement de " + url + " : ";
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (!out) throw EDownloadError(prefix + "impossible de créer le fichier " + file);
    CURL* curl = curl_easy_init();
    if (!curl) {
      std::fclose(out);
      throw EDownloadError(prefix + "libcurl indisponible");
    }
    Transfer transfer;
    transfer.file = out;
    transfer.onProgress = &onProgress;
    transfer.url = &url;
    transfer.sizeLimit = settings.sizeLimit;
    const bool secure = IsSecureUrl(url);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    // A package fetched over HTTPS is never handed over to plain HTTP by a redirect.
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, secure ? "https" : "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 30L);
    // A server that stops sending ends the transfer instead of holding the window forever.
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    const auto stallSeconds = std::chrono::ceil<std::chrono::seconds>(settings.stallLimit).count();
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(std::max<decltype(stallSeconds)>(stallSeconds, 1)));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(settings.timeLimit.count()));
    // An announced length over the limit ends the transfer before its body.
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(settings.sizeLimit));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, WriteData);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, Progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    const CURLcode result = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_cleanup(curl);
    const bool closed = std::fclose(out) == 0;

    if (transfer.cancelled) throw EDownloadError(prefix + "annulé");
    if (transfer.tooLarge || result == CURLE_FILESIZE_EXCEEDED) {
      throw EDownloadError(prefix + "taille maximale dépassée");
    }
    if (transfer.writeFailed || !closed) throw EDownloadError(prefix + "écriture impossible dans " + file);
    if (result != CURLE_OK) throw EDownloadError(prefix + curl_easy_strerror(result));
    // Only a whole answer is the package: a 206 is part of one, another 2xx none.
    if (status != 200) throw EDownloadError(prefix + "statut HTTP " + std::to_string(status));
  }
};

}  // namespace

template <>
Downloader& PlatformAdapter<Downloader>() {
  static DownloaderPosix adapter;
  return adapter;
}

}  // namespace orvane
