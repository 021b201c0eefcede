#pragma once
// A Linux program started from a test, on Linux and under Wine alike (Wine starts a program that
// is no Windows program as a Unix process). It is given no input and no handle: it has to end by
// itself, as the TLS front does when its control connection closes.

#include <string>
#include <vector>

namespace orvane::testing {

class UnixProgram {
 public:
  // Arguments[0] is the program's absolute Unix path. Raises std::runtime_error when it cannot start.
  explicit UnixProgram(const std::vector<std::string>& arguments);
  // Waits for the program's end where the platform can (Linux).
  ~UnixProgram();
  UnixProgram(const UnixProgram&) = delete;
  UnixProgram& operator=(const UnixProgram&) = delete;

 private:
  long process_ = 0;
};

}  // namespace orvane::testing
