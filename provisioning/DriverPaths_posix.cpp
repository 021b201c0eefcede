#include <cstdlib>

#include "provisioning/DriverPaths.h"

namespace orvane {

char DriverPathDelimiter() { return '/'; }

// "Temp" as on Windows when it is set, else the usual variable of the platform.
std::string TemporaryFolderFromEnvironment() {
  for (const char* name : {"Temp", "TMPDIR"}) {
    if (const char* value = std::getenv(name); value && *value) return value;
  }
  return {};
}

}  // namespace orvane
