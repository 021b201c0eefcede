#pragma once
// A downloader that writes a chosen content after chosen progress reports, or fails half-way.

#include <fstream>
#include <string>
#include <vector>

#include "platform/Port.h"
#include "provisioning/Downloader.h"

namespace orvane::testing {

class FakeDownloader : public Downloader {
 public:
  void DownloadToFile(const std::string& url, const std::string& file, const TDownloadProgress& onProgress) override {
    urls.push_back(url);
    files.push_back(file);
    std::ofstream out(file, std::ios::binary);
    const uint32_t total = static_cast<uint32_t>(content.size());
    const size_t written = failHalfWay ? content.size() / 2 : content.size();
    out.write(content.data(), static_cast<std::streamsize>(written));
    out.flush();
    bool cancel = false;
    onProgress(static_cast<uint32_t>(written), total, kBindStatusDownloadingData, url, cancel);
    if (failHalfWay) throw EDownloadError("Téléchargement de " + url + " : transfert interrompu");
  }

  // A Windows Installer package to the eye: the compound-file signature, then anything.
  std::string content = std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + "package";
  bool failHalfWay = false;
  std::vector<std::string> urls, files;
};

}  // namespace orvane::testing
