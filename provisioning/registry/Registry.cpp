#include "provisioning/registry/Registry.h"

namespace orvane {

const char* RootKeyName(TRootKey root) {
  switch (root) {
    case TRootKey::ClassesRoot: return "HKEY_CLASSES_ROOT";
    case TRootKey::CurrentUser: return "HKEY_CURRENT_USER";
    case TRootKey::LocalMachine: return "HKEY_LOCAL_MACHINE";
    case TRootKey::Users: return "HKEY_USERS";
    case TRootKey::CurrentConfig: return "HKEY_CURRENT_CONFIG";
  }
  return "";
}

}  // namespace orvane
