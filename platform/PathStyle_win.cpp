#include <windows.h>

#include "platform/PathStyle.h"
#include "platform/TextConversion.h"

namespace orvane {

PathStyle NativePathStyle() { return PathStyle::Windows; }

std::string CurrentDirectory() {
  const DWORD size = GetCurrentDirectoryW(0, nullptr);
  if (size == 0) return {};
  std::wstring path(size, L'\0');
  const DWORD written = GetCurrentDirectoryW(size, path.data());
  if (written == 0 || written >= size) return {};
  path.resize(written);
  return WideToUtf8(path);
}

}  // namespace orvane
