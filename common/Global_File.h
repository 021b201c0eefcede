#pragma once
// File-name operations shared by the loggers and their configuration, and the program runner.

#include <cstdint>
#include <string>

#include "common/DateTime.h"
#include "platform/PathStyle.h"

namespace orvane {

// The next change time of a mask whose expanded name never changes.
inline constexpr TDateTime kNoChangeTime = 4294967295.0;

// What RunProcess returns when it has no exit code: the wait failed or was not asked for.
inline constexpr uint32_t kNoExitCode = 0xFFFFFFFF;

class TGlobalFile {
 public:
  // Constructing a second instance gives the existing one's behaviour: there are no fields.
  TGlobalFile() = default;

  // Resolves FileName against BasePath in the platform's path style, against the process's
  // current directory when BasePath is relative.
  std::string GetAbsoluteFileName(const std::string& fileName, const std::string& basePath) const;
  // Replaces the "?…?" tokens of Mask; NextChange receives when the expanded name may change.
  std::string ExpandFileMask(const std::string& mask, TDateTime& nextChange) const;
  std::string ExpandFileMask(const std::string& mask, bool& isDated) const;
  std::string ExpandFileMask(const std::string& mask) const;
};

// The process's single instance, created on first use, from any thread.
TGlobalFile& GlobalFile();
// At program end (TOrvaneProgram), once nothing uses the instance any more: the next GlobalFile()
// creates a new one.
void ReleaseGlobalFile();

// The resolution itself, for a given path style and current directory (absolute, in that style).
// Raises "Erreur GetAbsoluteFileName(<fileName>,<basePath>)" with the arguments as passed.
std::string GetAbsoluteFileName(const std::string& fileName, const std::string& basePath, PathStyle style,
                                const std::string& currentDirectory);

// Starts Program with Parameters; with Wait, waits for its end and returns its exit code, else
// kNoExitCode (as after a failed wait). A program that cannot be started raises an error that
// quotes the command line.
uint32_t RunProcess(const std::string& program, const std::string& parameters, uint16_t showWindow, bool wait);

}  // namespace orvane
