#include "logging/LogFiles.h"

namespace orvane {

std::unique_ptr<LogFile> OpenLogFile(LogFiles& files, const std::string& name, bool doAppend) {
  const bool append = doAppend && files.Exists(name);
  return files.Open(name, append ? LogFiles::OpenMode::Append : LogFiles::OpenMode::Create);
}

void FailNotRegularFile(const std::string& name) { throw EInOutError("N'est pas un fichier ordinaire (" + name + ")"); }

}  // namespace orvane
