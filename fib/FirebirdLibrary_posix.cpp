#include <dlfcn.h>

#include "fib/FirebirdLibrary.h"
#include "platform/Port.h"
#include "fib/pFIBError.h"

namespace orvane {
namespace {

class FirebirdLibraryPosix : public FirebirdLibrary {
 public:
  explicit FirebirdLibraryPosix(std::string fileName) : fileName_(std::move(fileName)) {}

  // Never unloaded: the embedded engine keeps threads and exit handlers in it.
  void* Entry(const char* name) override {
    if (!handle_) {
      handle_ = dlopen(fileName_.c_str(), RTLD_NOW | RTLD_GLOBAL);
      if (!handle_) {
        const char* reason = dlerror();
        throw EFIBError("Bibliothèque cliente Firebird introuvable (" + fileName_ + ") : " +
                        (reason ? reason : "dlopen a échoué"));
      }
    }
    void* entry = dlsym(handle_, name);
    if (!entry) throw EFIBError(std::string("Point d'entrée ") + name + " absent de " + fileName_);
    return entry;
  }

 private:
  std::string fileName_;
  void* handle_ = nullptr;
};

}  // namespace

std::unique_ptr<FirebirdLibrary> MakeFirebirdLibrary(const std::string& fileName) {
  return std::make_unique<FirebirdLibraryPosix>(fileName);
}

template <>
FirebirdLibrary& PlatformAdapter<FirebirdLibrary>() {
  static FirebirdLibraryPosix adapter("libfbclient.so.2");
  return adapter;
}

}  // namespace orvane
