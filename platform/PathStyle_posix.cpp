#include <unistd.h>

#include <climits>

#include "platform/PathStyle.h"

namespace orvane {

PathStyle NativePathStyle() { return PathStyle::Posix; }

std::string CurrentDirectory() {
  char path[PATH_MAX];
  if (getcwd(path, sizeof path) == nullptr) return {};
  return path;
}

}  // namespace orvane
