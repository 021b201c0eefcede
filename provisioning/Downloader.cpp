#include "provisioning/Downloader.h"

namespace orvane {

std::string UrlScheme(const std::string& url) {
  const size_t end = url.find("://");
  if (end == std::string::npos || url.find_first_of("/?#") < end) return "";
  std::string scheme = url.substr(0, end);
  for (char& c : scheme) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return scheme;
}

bool IsSecureUrl(const std::string& url) { return UrlScheme(url) == "https"; }

bool RedirectAllowed(const std::string& from, const std::string& to) {
  const std::string target = UrlScheme(to);
  if (IsSecureUrl(from)) return target == "https";
  return target == "http" || target == "https";
}

}  // namespace orvane
