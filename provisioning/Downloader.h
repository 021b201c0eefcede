#pragma once
// The download port: fetches a URL into a file, reporting progress as data arrives.

#include <cstdint>
#include <functional>
#include <string>

#include "common/Exceptions.h"

namespace orvane {

ORVANE_DECLARE_EXCEPTION(EDownloadError, Exception);

// Progress codes as the URL moniker library numbers them; both platforms report these.
enum : uint32_t {
  kBindStatusConnecting = 2,
  kBindStatusBeginDownloadData = 4,
  kBindStatusDownloadingData = 5,
  kBindStatusEndDownloadData = 6,
};

// Received so far, expected in all (0 while unknown), status code, status text, cancel flag.
using TDownloadProgress =
    std::function<void(uint32_t received, uint32_t expected, uint32_t statusCode, const std::string& statusText, bool& cancel)>;

class Downloader {
 public:
  virtual ~Downloader() = default;
  // Writes the resource at Url to File (created or replaced). Raises EDownloadError when the
  // transfer fails or breaks off, when the server answers with a status other than success,
  // when the progress handler cancels, and where the platform has no download function.
  virtual void DownloadToFile(const std::string& url, const std::string& file, const TDownloadProgress& onProgress) = 0;
};

}  // namespace orvane
