#pragma once
// The Firebird client library, loaded when a database is first connected, so that the program
// starts and runs on a workstation that has no client installed.

#include <memory>
#include <string>

namespace orvane {

class FirebirdLibrary {
 public:
  virtual ~FirebirdLibrary() = default;
  // The address of the library's entry point Name, loading the library on first use. Raises
  // EFIBError naming the library when it or the entry point cannot be found.
  virtual void* Entry(const char* name) = 0;
};

// An adapter on the library file FileName instead of the platform's client library.
std::unique_ptr<FirebirdLibrary> MakeFirebirdLibrary(const std::string& fileName);

}  // namespace orvane
