#include "logging/Diagnostic.h"

#include <cstdio>

namespace orvane {

void WriteDiagnostic(const std::string& text) {
  std::fprintf(stderr, "%s\n", text.c_str());
  std::fflush(stderr);
}

}  // namespace orvane
