#pragma once
// The download port: fetches a URL into a file, reporting progress as data arrives.

#include <chrono>
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

// Status code with which the URL moniker library reports a redirect; the text is the new URL.
inline constexpr uint32_t kBindStatusRedirecting = 3;

// Limits of one download; passing any of them breaks the transfer off.
struct TDownloadSettings {
  // Nothing received for this long: the server fell silent.
  std::chrono::milliseconds stallLimit = std::chrono::seconds(60);
  // The whole transfer, so that a server dripping its answer cannot hold the start for days.
  std::chrono::milliseconds timeLimit = std::chrono::minutes(10);
  // Bytes received, so that an answer without end cannot fill the disk.
  uint64_t sizeLimit = 256ull * 1024 * 1024;
};

// The URL's scheme in lower case ("https"), or "" when it does not begin with one and "://".
std::string UrlScheme(const std::string& url);
bool IsSecureUrl(const std::string& url);
// A redirect goes to a web address only, and never from HTTPS to anything less.
bool RedirectAllowed(const std::string& from, const std::string& to);

class Downloader {
 public:
  virtual ~Downloader() = default;
  // Writes the resource at Url to File (created or replaced). Raises EDownloadError when the
  // transfer fails or breaks off, when the server answers with a status other than 200, when
  // the progress handler cancels, when a redirect leaves HTTPS, when a limit of Settings is
  // passed, and where the platform has no download function.
  virtual void DownloadToFile(const std::string& url, const std::string& file, const TDownloadSettings& settings,
                              const TDownloadProgress& onProgress) = 0;
};

}  // namespace orvane
