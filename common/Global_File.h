#pragma once
// File-name operations shared by the loggers and their configuration, and the program runner.

#include <cstdint>
#include <string>

#include "common/DateTime.h"

namespace orvane {

// The next change time of a mask whose expanded name never changes.
inline constexpr TDateTime kNoChangeTime = 4294967295.0;

class TGlobalFile {
 public:
  // Resolves FileName against BasePath ("\" separates folders, or "/" in the POSIX style).
  std::string GetAbsoluteFileName(const std::string& fileName, const std::string& basePath) const;
  // Replaces the "?…?" tokens of Mask; NextChange receives when the expanded name may change.
  std::string ExpandFileMask(const std::string& mask, TDateTime& nextChange) const;
  std::string ExpandFileMask(const std::string& mask, bool& isDated) const;
  std::string ExpandFileMask(const std::string& mask) const;
};

// The process's single instance, created on first use.
TGlobalFile& GlobalFile();

// Starts Program with Parameters; with Wait, waits for its end and returns its exit code.
uint32_t RunProcess(const std::string& program, const std::string& parameters, uint16_t showWindow, bool wait);

}  // namespace orvane
