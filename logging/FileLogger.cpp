#include "logging/FileLogger.h"

#include <chrono>
#include <thread>

#include "platform/Clock.h"
#include "common/Global_File.h"
#include "platform/PathStyle.h"
#include "platform/Port.h"
#include "platform/TextConversion.h"
#include "logging/LogFiles.h"

namespace orvane {
namespace {

constexpr int kReopenRetries = 20;
constexpr auto kReopenPause = std::chrono::milliseconds(7);

}  // namespace

bool LoggerParamIsTrue(const std::string& value) { return value != "False"; }

TFileLogger::TFileLogger(uint8_t niveauMax, int32_t logSpecifique, const TLoggerParams* params, bool insertTime,
                         std::string formatDateTime, bool insertNiveauLog)
    : TLogger(niveauMax, logSpecifique, params, insertTime, std::move(formatDateTime), insertNiveauLog) {
  std::string renameTo;
  std::string expanded;
  if (params) {
    for (const std::string& line : *params) {
      const TLoggerParam param = SplitLoggerParam(line);
      if (param.name == "RenameFileTo") {
        renameTo = GlobalFile().ExpandFileMask(param.value);
      } else if (param.name == "DoAppend") {
        DoAppend_ = LoggerParamIsTrue(param.value);
      } else if (param.name == "FileName") {
        FileName_ = param.value;
        expanded = GlobalFile().ExpandFileMask(FileName_, NextNameChange_);
      }
    }
  }
  if (!renameTo.empty() && !expanded.empty()) KeepPreviousFile(expanded, renameTo);
  SetFileName(expanded);
}

void TFileLogger::KeepPreviousFile(const std::string& expanded, const std::string& renameTo) {
  // Both names as expanded, from the current directory. A rename that fails, a name that cannot
  // be resolved included, is no failure: the logger starts all the same.
  try {
    const std::string folder = CurrentDirectory();
    const std::string from = GlobalFile().GetAbsoluteFileName(expanded, folder);
    LogFiles& files = Port<LogFiles>();
    if (files.Exists(from)) files.Rename(from, GlobalFile().GetAbsoluteFileName(renameTo, folder));
  } catch (const Exception&) {
  }
}

void TFileLogger::SetFileName(const std::string& newName) {
  std::lock_guard<std::mutex> guard(lock_);
  MoveLogFile(CurrentFileName_, newName, DoAppend_);
}

void TFileLogger::DoLog(const std::string& line) {
  if (CurrentFileName_.empty()) throw Exception("Le fichier n'a pas été assigné au FileLogger");
  // A mask without date tokens never changes: no need to read the clock for it.
  if (NextNameChange_ < kNoChangeTime && Port<Clock>().Now() > NextNameChange_)
    SetFileName(GlobalFile().ExpandFileMask(FileName_, NextNameChange_));

  std::lock_guard<std::mutex> guard(lock_);
  LogFiles& files = Port<LogFiles>();
  std::string prefix;
  int attempts = 0;
  try {
    std::unique_ptr<LogFile> file;
    try {
      file = files.Open(CurrentFileName_, LogFiles::OpenMode::Append);
    } catch (const EInOutError&) {
      while (!file && attempts <= kReopenRetries) {
        ++attempts;
        try {
          // A file that exists was only locked: its lines stay, whatever DoAppend says.
          file = OpenLogFile(files, CurrentFileName_, true);
        } catch (const EInOutError&) {
          prefix += '.';
          std::this_thread::sleep_for(kReopenPause);
        }
      }
    }
    if (!file) throw EInOutError("Fichier non ouvert");
    prefix.reserve(prefix.size() + line.size() + 2);
    prefix += line;
    prefix += "\r\n";
    file->Write(Utf8ToAnsi(std::move(prefix)));
    file->Close();
  } catch (const Exception& e) {
    throw Exception("Exception sur DoLog(" + std::to_string(attempts) + ") (" + e.ClassName() + ":" + e.Message() + ":" + line);
  } catch (const std::exception& e) {
    throw Exception("Exception sur DoLog(" + std::to_string(attempts) + ") (Exception:" + e.what() + ":" + line);
  }
}

}  // namespace orvane
