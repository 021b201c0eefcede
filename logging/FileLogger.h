#pragma once
// A logger that appends each line to a text file, opened and closed for every line, so that
// each line is on disk once logged and other programs may read, copy or move the file between
// lines. Date tokens in the file-name mask move it to a new file when the name changes.

#include <mutex>
#include <string>

#include "common/DateTime.h"
#include "logging/Logger.h"

namespace orvane {

class TFileLogger : public TLogger {
 public:
  // Parameters: FileName (mask), DoAppend, RenameFileTo (mask of the name given at start to the
  // previous file).
  TFileLogger(uint8_t niveauMax, int32_t logSpecifique, const TLoggerParams* params, bool insertTime,
              std::string formatDateTime, bool insertNiveauLog);

  // Moves the logger to another file, created (or appended to, with DoAppend) at once. A file
  // that cannot be created leaves the logger without a file and the error goes to the caller.
  void SetFileName(const std::string& newName);

  const std::string& CurrentFileName() const { return CurrentFileName_; }
  const std::string& FileName() const { return FileName_; }
  bool DoAppend() const { return DoAppend_; }
  TDateTime NextNameChange() const { return NextNameChange_; }

 protected:
  void DoLog(const std::string& line) override;

 private:
  // Renames the file of the expanded name, when there is one, to RenameTo.
  static void KeepPreviousFile(const std::string& expanded, const std::string& renameTo);

  std::string CurrentFileName_;
  bool DoAppend_ = false;
  std::string FileName_;
  TDateTime NextNameChange_ = 0;
  std::mutex lock_;
};

// "True" unless the value is exactly "False", as DoAppend reads it.
bool LoggerParamIsTrue(const std::string& value);

}  // namespace orvane
