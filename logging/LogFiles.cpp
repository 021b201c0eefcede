#include "logging/LogFiles.h"

#include "common/ApplicationName.h"
#include "common/Global_File.h"
#include "common/Global_Utils.h"
#include "platform/Port.h"

namespace orvane {

std::unique_ptr<LogFile> OpenLogFile(LogFiles& files, const std::string& name, bool doAppend) {
  const bool append = doAppend && files.Exists(name);
  return files.Open(name, append ? LogFiles::OpenMode::Append : LogFiles::OpenMode::Create);
}

void MoveLogFile(std::string& current, const std::string& newName, bool doAppend) {
  if (SameTextNoCase(newName, current)) return;
  const std::string resolved = GlobalFile().GetAbsoluteFileName(newName, ProgramFolder());
  if (SameTextNoCase(resolved, current)) return;
  current = resolved;
  try {
    OpenLogFile(Port<LogFiles>(), current, doAppend)->Close();
  } catch (...) {
    current.clear();
    throw;
  }
}

void FailNotRegularFile(const std::string& name) { throw EInOutError("N'est pas un fichier ordinaire (" + name + ")"); }

}  // namespace orvane
