// The registry on Windows, through advapi32. Each operation opens the key it needs with the
// access it needs and closes it again, so access is checked where the key really is.

#include <windows.h>

#include <vector>

#include "platform/Port.h"
#include "platform/TextConversion.h"
#include "provisioning/registry/Registry.h"

namespace orvane {

namespace {

HKEY RootHandle(TRootKey root) {
  switch (root) {
    case TRootKey::ClassesRoot: return HKEY_CLASSES_ROOT;
    case TRootKey::CurrentUser: return HKEY_CURRENT_USER;
    case TRootKey::LocalMachine: return HKEY_LOCAL_MACHINE;
    case TRootKey::Users: return HKEY_USERS;
    case TRootKey::CurrentConfig: return HKEY_CURRENT_CONFIG;
  }
  return HKEY_CURRENT_USER;
}

class ScopedKey {
 public:
  ScopedKey() = default;
  ~ScopedKey() {
    if (key_) RegCloseKey(key_);
  }
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;
  HKEY* Out() { return &key_; }
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

bool Open(TRootKey root, const std::string& path, REGSAM access, ScopedKey& key) {
  return RegOpenKeyExW(RootHandle(root), Utf8ToWide(path).c_str(), 0, access, key.Out()) == ERROR_SUCCESS;
}

class RegistryWin : public Registry {
 public:
  bool OpenKey(TRootKey root, const std::string& path, bool write) override {
    ScopedKey key;
    return Open(root, path, write ? KEY_ALL_ACCESS : KEY_READ, key);
  }

  bool CreateKey(TRootKey root, const std::string& path) override {
    ScopedKey key;
    return RegCreateKeyExW(RootHandle(root), Utf8ToWide(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_ALL_ACCESS, nullptr, key.Out(), nullptr) == ERROR_SUCCESS;
  }

  bool DeleteKey(TRootKey root, const std::string& path) override {
    if (path.empty()) return false;
    // With a subkey name the tree's own key goes too.
    return RegDeleteTreeW(RootHandle(root), Utf8ToWide(path).c_str()) == ERROR_SUCCESS;
  }

  bool ReadValue(TRootKey root, const std::string& path, const std::string& name, TRegValue& value) override {
    ScopedKey key;
    if (!Open(root, path, KEY_READ, key)) return false;
    const std::wstring wideName = Utf8ToWide(name);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key.Get(), wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    std::vector<uint8_t> data(size + sizeof(wchar_t));
    if (RegQueryValueExW(key.Get(), wideName.c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS) return false;
    data.resize(size);
    value = TRegValue{};
    value.type = type;
    if (type == REG_SZ) {
      std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
      while (!text.empty() && text.back() == L'\0') text.pop_back();
      value.text = WideToUtf8(text);
    } else if (type == REG_DWORD && size == sizeof(DWORD)) {
      value.dword = *reinterpret_cast<const DWORD*>(data.data());
    } else {
      value.raw = std::move(data);
      // A REG_DWORD of another size is no integer.
      if (type == REG_DWORD) value.type = REG_BINARY;
    }
    return true;
  }

  bool WriteValue(TRootKey root, const std::string& path, const std::string& name, const TRegValue& value) override {
    ScopedKey key;
    if (!Open(root, path, KEY_SET_VALUE, key)) return false;
    const std::wstring wideName = Utf8ToWide(name);
    LONG result;
    if (value.type == REG_SZ) {
      const std::wstring text = Utf8ToWide(value.text);
      result = RegSetValueExW(key.Get(), wideName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                              static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    } else if (value.type == REG_DWORD) {
      const DWORD data = value.dword;
      result = RegSetValueExW(key.Get(), wideName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    } else {
      result = RegSetValueExW(key.Get(), wideName.c_str(), 0, value.type, value.raw.data(),
                              static_cast<DWORD>(value.raw.size()));
    }
    return result == ERROR_SUCCESS;
  }
};

}  // namespace

template <>
Registry& PlatformAdapter<Registry>() {
  static RegistryWin adapter;
  return adapter;
}

}  // namespace orvane
