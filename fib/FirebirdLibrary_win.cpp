#include <windows.h>

#include "fib/FirebirdLibrary.h"
#include "platform/Port.h"
#include "platform/TextConversion.h"
#include "fib/pFIBError.h"

namespace orvane {
namespace {

class FirebirdLibraryWin : public FirebirdLibrary {
 public:
  explicit FirebirdLibraryWin(std::string fileName) : fileName_(std::move(fileName)) {}

  // Never freed: the client keeps threads of its own once used.
  void* Entry(const char* name) override {
    if (!module_) {
      module_ = LoadLibraryW(Utf8ToWide(fileName_).c_str());
      if (!module_) {
        throw EFIBError("Bibliothèque cliente Firebird introuvable (" + fileName_ + ") : erreur " +
                        std::to_string(GetLastError()));
      }
    }
    FARPROC entry = GetProcAddress(module_, name);
    if (!entry) throw EFIBError(std::string("Point d'entrée ") + name + " absent de " + fileName_);
    return reinterpret_cast<void*>(entry);
  }

 private:
  std::string fileName_;
  HMODULE module_ = nullptr;
};

}  // namespace

std::unique_ptr<FirebirdLibrary> MakeFirebirdLibrary(const std::string& fileName) {
  return std::make_unique<FirebirdLibraryWin>(fileName);
}

template <>
FirebirdLibrary& PlatformAdapter<FirebirdLibrary>() {
  static FirebirdLibraryWin adapter("fbclient.dll");
  return adapter;
}

}  // namespace orvane
