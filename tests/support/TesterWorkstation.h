#pragma once
// A workstation for the tester window's tests: an in-memory registry in which the Philips
// drivers count as installed, or which cannot be read at all.

#include <map>
#include <set>
#include <string>
#include <utility>

#include "common/Port.h"
#include "provisioning/Registry.h"

namespace orvane::testing {

class TesterRegistry : public Registry {
 public:
  using Key = std::pair<TRootKey, std::string>;

  bool OpenKey(TRootKey root, const std::string& path, bool) override {
    return readable && keys.count({root, path}) > 0;
  }
  bool CreateKey(TRootKey root, const std::string& path) override {
    if (!readable) return false;
    for (size_t at = 0; at != std::string::npos;) {
      at = path.find('\\', at + 1);
      keys.insert({root, path.substr(0, at)});
    }
    keys.insert({root, ""});
    return true;
  }
  bool DeleteKey(TRootKey root, const std::string& path) override { return readable && keys.erase({root, path}) > 0; }
  bool ReadValue(TRootKey root, const std::string& path, const std::string& name, TRegValue& value) override {
    const auto found = values.find({{root, path}, name});
    if (!readable || found == values.end()) return false;
    value = found->second;
    return true;
  }
  bool WriteValue(TRootKey root, const std::string& path, const std::string& name, const TRegValue& value) override {
    if (!readable || keys.count({root, path}) == 0) return false;
    values[{{root, path}, name}] = value;
    return true;
  }

  bool readable = true;
  std::set<Key> keys;
  std::map<std::pair<Key, std::string>, TRegValue> values;
};

// Drivers registered and the user's Philips Speech settings present, so that the start-up
// verification lets the window go on.
struct TesterWorkstation {
  TesterWorkstation() {
    const std::string features = "Installer\\Features\\777D4C2D1DBB5204A8655A0CBF18D267";
    registry.CreateKey(TRootKey::ClassesRoot, features);
    registry.WriteValue(TRootKey::ClassesRoot, features, "SpMikeCtrl", TRegValue{kRegSz, "", 0, {}});
    registry.CreateKey(TRootKey::CurrentUser, "Control Panel\\Philips Speech");
  }
  TesterRegistry registry;
  ScopedPort<Registry> port{registry};
};

}  // namespace orvane::testing
