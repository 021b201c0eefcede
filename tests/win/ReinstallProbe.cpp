// A program that opens the SpeechMike through the controller, with the program's start-up and
// end, the real dialogs and application, and writes every log record to the file named by its
// first argument (one "level<TAB>message" a line), so that a test sees what was written before the
// program ended.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <mutex>

#include "app/OrvaneProgram.h"
#include "device/DataPhilips.h"
#include "logging/ApplicationLogger.h"

namespace {

class FileTap : public orvane::TLogger {
 public:
  explicit FileTap(const wchar_t* path) : TLogger(255, -1, nullptr, false, "", false), file_(_wfopen(path, L"wb")) {}
  ~FileTap() override {
    if (file_ != nullptr) fclose(file_);
  }
  bool Open() const { return file_ != nullptr; }

 protected:
  void DoLog(const std::string& line) override {
    std::lock_guard<std::mutex> guard(lock_);
    fprintf(file_, "%d\t%s\n", CurrentLevel(), line.c_str());
    fflush(file_);
  }

 private:
  std::mutex lock_;
  FILE* file_;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 10;
  orvane::TOrvaneProgram program;
  auto tap = std::make_unique<FileTap>(argv[1]);
  if (!tap->Open()) return 11;
  orvane::AppLogger().AddLogger(tap.release());
  orvane::TDataPhilips data(nullptr, nullptr, -1);
  return data.OpenPHILIPSDictCtrl() ? 0 : 12;
}
