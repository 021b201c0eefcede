#pragma once
// Last-resort diagnostics of the logging framework itself, when no logger can take them.

#include <string>

namespace orvane {

// Writes Text and a line end to the standard error stream (on Windows also to the debugger).
void WriteDiagnostic(const std::string& text);

}  // namespace orvane
