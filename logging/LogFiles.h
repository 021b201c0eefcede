#pragma once
// The file port of the file and memory loggers: text files opened for each write, so that no
// file is held between lines.

#include <memory>
#include <string>

#include "common/Exceptions.h"

namespace orvane {

// A file that cannot be opened, read or written.
ORVANE_DECLARE_EXCEPTION(EInOutError, Exception);

class LogFile {
 public:
  // Closes the file when still open.
  virtual ~LogFile() = default;
  // Writes the bytes as they are (the caller has converted them to the system's code page).
  virtual void Write(const std::string& bytes) = 0;
  virtual void Close() = 0;
};

class LogFiles {
 public:
  enum class OpenMode {
    Append,  // at the end of an existing file; fails when there is none
    Create,  // a new, empty file, and its missing folders; an existing file is emptied
  };
  virtual ~LogFiles() = default;
  virtual bool Exists(const std::string& name) = 0;
  // Fails with EInOutError when the file cannot be opened (locked, missing, no right), and never
  // waits. Create refuses anything but a regular file; Append refuses what would make it wait
  // (a FIFO without reader) and counts on its caller for the rest (Exists).
  virtual std::unique_ptr<LogFile> Open(const std::string& name, OpenMode mode) = 0;
  // Renames a file; false when it cannot be renamed (the target exists, for instance).
  virtual bool Rename(const std::string& from, const std::string& to) = 0;
};

// Opens Name for a line or a dump: appended to when the file exists and the content is to be
// kept (DoAppend), created otherwise.
std::unique_ptr<LogFile> OpenLogFile(LogFiles& files, const std::string& name, bool doAppend);

// Moves a file or memory logger to the file NewName names, resolved against the program's folder:
// Current becomes the resolved name and the file is created (with DoAppend, appended to) at once.
// A name that is Current's, in any case, changes nothing. A file that cannot be created leaves
// Current empty and the error goes to the caller.
void MoveLogFile(std::string& current, const std::string& newName, bool doAppend);

// The error of the adapters for a FIFO, a device or a folder at a log file's name: nothing a line
// or a dump may write into, or wait on.
[[noreturn]] void FailNotRegularFile(const std::string& name);

}  // namespace orvane
