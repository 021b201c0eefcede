#pragma once
// An in-memory registry that can refuse to open or create chosen keys and refuse writes, and
// records where keys were created and deleted.

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "tests/support/ScopedPort.h"
#include "provisioning/registry/Registry.h"
#include "provisioning/registry/store/RegistryFile.h"

namespace orvane::testing {

class FakeRegistry : public Registry {
 public:
  // "HKEY_CLASSES_ROOT\Installer" style names, compared without regard to case.
  static std::string Name(TRootKey root, const std::string& path) {
    std::string name = RootKeyName(root);
    if (!path.empty()) name += "\\" + path;
    return Fold(name);
  }

  bool OpenKey(TRootKey root, const std::string& path, bool write) override {
    opened.push_back(Name(root, path) + (write ? " (write)" : " (read)"));
    if (Refused(refuseOpen, root, path) || (write && Refused(refuseWriteOpen, root, path))) return false;
    return store.KeyExists(root, path);
  }
  bool CreateKey(TRootKey root, const std::string& path) override {
    if (Refused(refuseCreate, root, path)) return false;
    created.push_back(Name(root, path));
    store.CreateKey(root, path);
    return true;
  }
  bool DeleteKey(TRootKey root, const std::string& path) override {
    deleted.push_back(Name(root, path));
    return store.DeleteKey(root, path);
  }
  bool ReadValue(TRootKey root, const std::string& path, const std::string& name, TRegValue& value) override {
    if (Refused(refuseOpen, root, path)) return false;
    const std::optional<TRegValue> found = store.FindValue(root, path, name);
    if (!found) return false;
    value = *found;
    return true;
  }
  bool WriteValue(TRootKey root, const std::string& path, const std::string& name, const TRegValue& value) override {
    ++writeAttempts;
    if (refuseAllWrites || refusedWrites > 0) {
      if (refusedWrites > 0) --refusedWrites;
      return false;
    }
    return store.SetValue(root, path, name, value);
  }

  // Test helpers.
  void Refuse(std::set<std::string>& set, TRootKey root, const std::string& path) { set.insert(Name(root, path)); }
  void SetDword(TRootKey root, const std::string& path, const std::string& name, uint32_t data) {
    store.CreateKey(root, path);
    TRegValue value;
    value.type = kRegDword;
    value.dword = data;
    store.SetValue(root, path, name, value);
  }
  void SetString(TRootKey root, const std::string& path, const std::string& name, const std::string& text) {
    store.CreateKey(root, path);
    TRegValue value;
    value.type = kRegSz;
    value.text = text;
    store.SetValue(root, path, name, value);
  }
  std::optional<TRegValue> Value(TRootKey root, const std::string& path, const std::string& name) const {
    return store.FindValue(root, path, name);
  }

  TRegistryFile store;
  std::set<std::string> refuseOpen;       // neither opens nor reads
  std::set<std::string> refuseWriteOpen;  // opens for reading only
  std::set<std::string> refuseCreate;
  bool refuseAllWrites = false;
  int refusedWrites = 0;  // the next writes that fail
  int writeAttempts = 0;
  std::vector<std::string> opened, created, deleted;

 private:
  static std::string Fold(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return text;
  }
  static bool Refused(const std::set<std::string>& set, TRootKey root, const std::string& path) {
    return set.count(Name(root, path)) > 0;
  }
};

struct ScopedFakeRegistry {
  FakeRegistry registry;
  ScopedPort<Registry> port{registry};
};

}  // namespace orvane::testing
