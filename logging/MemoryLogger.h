#pragma once
// A logger that keeps lines in memory and writes them to a file in batches. Buffer mode writes
// every MaxLigne lines and at the end; trigger mode keeps the last MaxLigne lines and writes them
// when a line of level NiveauDump or more important arrives, so the file shows what led to each
// serious message.

#include <mutex>
#include <string>
#include <vector>

#include "logging/Logger.h"

namespace orvane {

class TMemoryLogger : public TLogger {
 public:
  enum class TDumpMode { Buffer, Trigger };

  // Parameters: MaxLigne, FileName (mask), DoAppend, DumpType ("Buffer" or trigger), NiveauDump.
  TMemoryLogger(uint8_t niveauMax, int32_t logSpecifique, const TLoggerParams* params, bool insertTime,
                std::string formatDateTime, bool insertNiveauLog);
  // In buffer mode writes what is left; in trigger mode the remaining lines are discarded.
  ~TMemoryLogger() override;

  // Appends the buffer to the file (nothing without a file) and leaves the buffer as it is.
  void Dump();
  void SetFileName(const std::string& newName);

  int32_t MaxLigne() const { return MaxLigne_; }
  bool DoAppend() const { return DoAppend_; }
  TDumpMode DumpMode() const { return DumpMode_; }
  int32_t NiveauDump() const { return NiveauDump_; }
  const std::string& FileName() const { return FileName_; }
  const std::string& CurrentFileName() const { return CurrentFileName_; }
  // The buffered lines, oldest first.
  std::vector<std::string> Lines() const;

 protected:
  void DoLog(const std::string& line) override;

 private:
  void Append(const std::string& line);
  void DropOldest();
  void Clear();
  std::string DumpContent() const;

  // The buffer is a ring: trigger mode drops its oldest line at constant cost, and the slots'
  // strings are reused from one dump to the next.
  std::vector<std::string> slots_;
  size_t start_ = 0;
  size_t count_ = 0;

  int32_t MaxLigne_ = 1024;
  bool DoAppend_ = true;
  std::string FileName_;
  bool NameIsDated_ = false;
  std::string CurrentFileName_;
  TDumpMode DumpMode_ = TDumpMode::Buffer;
  int32_t NiveauDump_ = 0;
  mutable std::mutex lock_;
};

}  // namespace orvane
