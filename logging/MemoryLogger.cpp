#include "logging/MemoryLogger.h"

#include "common/Global_File.h"
#include "platform/Port.h"
#include "platform/TextConversion.h"
#include "logging/Diagnostic.h"
#include "logging/FileLogger.h"
#include "logging/LogFiles.h"

namespace orvane {

TMemoryLogger::TMemoryLogger(uint8_t niveauMax, int32_t logSpecifique, const TLoggerParams* params, bool insertTime,
                             std::string formatDateTime, bool insertNiveauLog)
    : TLogger(niveauMax, logSpecifique, params, insertTime, std::move(formatDateTime), insertNiveauLog) {
  std::string expanded;
  if (params) {
    for (const std::string& line : *params) {
      const TLoggerParam param = SplitLoggerParam(line);
      if (param.name == "MaxLigne") {
        int32_t value = 0;
        if (!TryParseInteger(param.value, value)) throw Exception("MemoryLogger : Paramètre MaxLigne doit être un entier");
        MaxLigne_ = value;
      } else if (param.name == "FileName") {
        FileName_ = param.value;
        expanded = GlobalFile().ExpandFileMask(FileName_, NameIsDated_);
      } else if (param.name == "DoAppend") {
        DoAppend_ = LoggerParamIsTrue(param.value);
      } else if (param.name == "DumpType") {
        DumpMode_ = param.value == "Buffer" ? TDumpMode::Buffer : TDumpMode::Trigger;
      } else if (param.name == "NiveauDump") {
        NiveauDump_ = ParseInteger(param.value);
      }
    }
  }
  SetFileName(expanded);
}

TMemoryLogger::~TMemoryLogger() {
  if (DumpMode_ != TDumpMode::Buffer || count_ == 0) return;
  try {
    Dump();
  } catch (const std::exception& e) {
    WriteDiagnostic(std::string("TMemoryLogger : ") + e.what());
  }
}

void TMemoryLogger::SetFileName(const std::string& newName) { MoveLogFile(CurrentFileName_, newName, DoAppend_); }

std::vector<std::string> TMemoryLogger::Lines() const {
  std::lock_guard<std::mutex> guard(lock_);
  std::vector<std::string> lines;
  for (size_t i = 0; i < count_; ++i) lines.push_back(slots_[(start_ + i) % slots_.size()]);
  return lines;
}

void TMemoryLogger::Append(const std::string& line) {
  if (count_ < slots_.size()) {
    slots_[(start_ + count_) % slots_.size()] = line;
  } else {
    // Only before the ring first wraps: start_ is still 0.
    slots_.push_back(line);
  }
  ++count_;
}

void TMemoryLogger::DropOldest() {
  start_ = (start_ + 1) % slots_.size();
  --count_;
}

void TMemoryLogger::Clear() {
  start_ = 0;
  count_ = 0;
}

void TMemoryLogger::DoLog(const std::string& line) {
  std::lock_guard<std::mutex> guard(lock_);
  if (DumpMode_ == TDumpMode::Trigger) {
    if (MaxLigne_ <= 0) {
      Clear();  // each line is removed at once
    } else {
      if (count_ == static_cast<size_t>(MaxLigne_)) DropOldest();
      Append(line);
    }
    if (static_cast<int32_t>(CurrentLevel()) <= NiveauDump_) {
      Dump();
      Clear();
    }
  } else {
    Append(line);
    if (static_cast<int64_t>(count_) >= static_cast<int64_t>(MaxLigne_)) {
      Dump();
      Clear();
    }
  }
}

std::string TMemoryLogger::DumpContent() const {
  std::string content;
  for (size_t i = 0; i < count_; ++i) {
    content += slots_[(start_ + i) % slots_.size()];
    content += "\r\n";
  }
  // Blanks, control characters and empty lines at the very end go; one line end closes.
  size_t end = content.size();
  while (end > 0 && static_cast<unsigned char>(content[end - 1]) <= ' ') --end;
  content.resize(end);
  content += "\r\n";
  return Utf8ToAnsi(content);
}

void TMemoryLogger::Dump() {
  if (CurrentFileName_.empty()) return;
  if (NameIsDated_) SetFileName(GlobalFile().ExpandFileMask(FileName_, NameIsDated_));
  if (CurrentFileName_.empty()) return;
  const std::string content = DumpContent();
  LogFiles& files = Port<LogFiles>();
  std::unique_ptr<LogFile> file;
  try {
    file = files.Open(CurrentFileName_, LogFiles::OpenMode::Append);
  } catch (const EInOutError&) {
    // A file that exists was only locked: the earlier dumps stay, whatever DoAppend says.
    file = OpenLogFile(files, CurrentFileName_, true);
  }
  file->Write(content);
  file->Close();
}

}  // namespace orvane
