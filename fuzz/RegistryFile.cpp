// Any registry export: a file that parses writes an export that reads back to the same keys and
// values, and writing that again changes nothing.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "provisioning/RegistryFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  orvane::TRegistryFile file;
  try {
    file = orvane::TRegistryFile::Parse(bytes);
  } catch (const orvane::ERegistryException&) {
    return 0;
  }
  const std::string written = file.Serialize();
  const orvane::TRegistryFile again = orvane::TRegistryFile::Parse(written);
  if (again.Serialize() != written) std::abort();
  return 0;
}
