#pragma once
// A downloader that writes a chosen content after chosen progress reports, or fails half-way.

#include <fstream>
#include <string>
#include <vector>

#include "platform/Port.h"
#include "provisioning/Downloader.h"
#include "tests/support/ScratchFolder.h"

namespace orvane::testing {

class FakeDownloader : public Downloader {
 public:
  void DownloadToFile(const std::string& url, const std::string& file, const TDownloadSettings&,
                      const TDownloadProgress& onProgress) override {
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

  // The test driver package.
  std::string content = ScratchFolder::Read(ORVANE_TEST_PACKAGE);
  bool failHalfWay = false;
  std::vector<std::string> urls, files;
};

}  // namespace orvane::testing
