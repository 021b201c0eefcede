#pragma once
// In-memory files for the file and memory loggers, able to refuse opens as a locked file or an
// unwritable folder would.

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "tests/support/ScopedPort.h"
#include "logging/LogFiles.h"

namespace orvane::testing {

class FakeLogFiles : public LogFiles {
 public:
  bool Exists(const std::string& name) override { return files.count(name) > 0; }

  std::unique_ptr<LogFile> Open(const std::string& name, OpenMode mode) override {
    ++openCount;
    if (lockedOpens > 0) {
      --lockedOpens;
      throw EInOutError("Le fichier est verrouillé (" + name + ")");
    }
    if (mode == OpenMode::Create && unwritable.count(name)) throw EInOutError("Accès refusé (" + name + ")");
    if (mode == OpenMode::Append && !files.count(name)) throw EInOutError("Fichier introuvable (" + name + ")");
    if (mode == OpenMode::Create) files[name].clear();
    return std::make_unique<File>(files[name]);
  }

  bool Rename(const std::string& from, const std::string& to) override {
    if (!files.count(from) || files.count(to)) return false;
    files[to] = files[from];
    files.erase(from);
    return true;
  }

  std::map<std::string, std::string> files;
  std::set<std::string> unwritable;  // names that cannot be created
  int lockedOpens = 0;               // the next opens that fail as on a locked file
  int openCount = 0;

 private:
  struct File : LogFile {
    explicit File(std::string& content) : content(content) {}
    void Write(const std::string& bytes) override { content += bytes; }
    void Close() override {}
    std::string& content;
  };
};

struct ScopedFakeLogFiles {
  FakeLogFiles files;
  ScopedPort<LogFiles> port{files};
};

}  // namespace orvane::testing
