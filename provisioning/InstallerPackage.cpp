#include "provisioning/InstallerPackage.h"

#include <filesystem>
#include <fstream>

namespace orvane {

bool IsWindowsInstallerFile(const std::string& file) {
  static const char kSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
  const size_t length = sizeof kSignature - 1;
  std::ifstream in(std::filesystem::path(std::u8string(file.begin(), file.end())), std::ios::binary);
  char start[sizeof kSignature] = {};
  in.read(start, static_cast<std::streamsize>(sizeof start));
  return static_cast<size_t>(in.gcount()) > length && std::string(start, length) == std::string(kSignature, length);
}

}  // namespace orvane
