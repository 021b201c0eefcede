#include "provisioning/TelechargerURL.h"

#include <filesystem>
#include <system_error>

#include "platform/Port.h"
#include "provisioning/Downloader.h"

namespace orvane {

namespace {

std::filesystem::path PathOf(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// Runs on every way out of the download, after the transfer or its error.
class EndNotifier {
 public:
  EndNotifier(const TNotifyEvent& onEnd, const void* sender) : onEnd_(onEnd), sender_(sender) {}
  ~EndNotifier() {
    if (onEnd_) onEnd_(sender_);
  }
  EndNotifier(const EndNotifier&) = delete;
  EndNotifier& operator=(const EndNotifier&) = delete;

 private:
  const TNotifyEvent& onEnd_;
  const void* sender_;
};

bool IsWebUrl(const std::string& url) {
  const std::string scheme = UrlScheme(url);
  return scheme == "http" || scheme == "https";
}

}  // namespace

std::string PartialDownloadName(const std::string& targetFile) { return targetFile + ".part"; }

void TelechargerURL(const std::string& url, const std::string& targetFile, const TDownloadProgressEvent& onProgress,
                    const TNotifyEvent& onStart, const TNotifyEvent& onEnd, const TDownloadCheck& accepts,
                    const TDownloadSettings& settings) {
  Downloader& downloader = Port<Downloader>();
  const void* sender = &downloader;
  if (onStart) onStart(sender);
  EndNotifier end(onEnd, sender);
  // What is fetched here is run with administrator rights: only a web server may supply it,
  // never a local or shared file that a URL of another kind could name.
  if (!IsWebUrl(url)) throw EDownloadError("Téléchargement de " + url + " : seules les adresses http et https sont admises");

  const std::string partial = PartialDownloadName(targetFile);
  std::error_code ignored;
  try {
    downloader.DownloadToFile(url, partial, settings, [&](uint32_t received, uint32_t expected, uint32_t statusCode,
                                                const std::string& statusText, bool& cancel) {
      if (onProgress) onProgress(sender, received, expected, statusCode, statusText, cancel);
    });
    if (accepts && !accepts(partial)) {
      throw EDownloadError("Téléchargement de " + url + " : le fichier reçu n'est pas celui attendu");
    }
  } catch (...) {
    std::filesystem::remove(PathOf(partial), ignored);
    throw;
  }
  std::error_code error;
  std::filesystem::remove(PathOf(targetFile), ignored);
  std::filesystem::rename(PathOf(partial), PathOf(targetFile), error);
  if (error) {
    std::filesystem::remove(PathOf(partial), ignored);
    throw EDownloadError("Téléchargement de " + url + " : impossible de nommer le fichier " + targetFile);
  }
}

}  // namespace orvane
