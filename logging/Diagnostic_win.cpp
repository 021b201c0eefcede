#include "logging/Diagnostic.h"

#include <windows.h>

#include <cstdio>

#include "platform/TextConversion.h"

namespace orvane {

void WriteDiagnostic(const std::string& text) {
  std::fprintf(stderr, "%s\n", Utf8ToAnsi(text).c_str());
  std::fflush(stderr);
  OutputDebugStringW(Utf8ToWide(text + "\n").c_str());
}

}  // namespace orvane
