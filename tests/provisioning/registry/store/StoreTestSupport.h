#pragma once
// What the Linux store's tests share: a store file of the test's own, and a write saved at once.

#include <cstdlib>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "provisioning/registry/RegistryAccessor.h"

namespace orvane::testing {

// Points the store at a file of the test's own.
class ScopedRegistryStore {
 public:
  explicit ScopedRegistryStore(const std::string& file) {
    if (const char* old = std::getenv("ORVANE_REGISTRY")) previous_ = old;
    ::setenv("ORVANE_REGISTRY", file.c_str(), 1);
  }
  ~ScopedRegistryStore() {
    if (previous_) {
      ::setenv("ORVANE_REGISTRY", previous_->c_str(), 1);
    } else {
      ::unsetenv("ORVANE_REGISTRY");
    }
  }
  ScopedRegistryStore(const ScopedRegistryStore&) = delete;
  ScopedRegistryStore& operator=(const ScopedRegistryStore&) = delete;

 private:
  std::optional<std::string> previous_;
};

inline const char kModelKey[] = "\\Control Panel\\Philips Speech\\3000\\Default";

// A write of the adjustment, saved at once; 0 when saved, 2 when the key does not open for
// writing, 1 when the write or the save is refused.
inline int WriteSequence(int32_t value) {
  try {
    TRegistryAccessor registry;
    if (!registry.OpenKey(kModelKey, true)) return 2;
    registry.WriteInteger("SequenceEnabled", value);
    registry.Flush();
    return 0;
  } catch (const ERegistryException&) {
    return 1;
  }
}

}  // namespace orvane::testing
