#pragma once
// The loopback HTTP server behind a TLS front: the same routes answer at Url() over HTTP and at
// SecureUrl() over HTTPS, with the certificate of the test authority (tools/with-test-authority),
// which the system's trust store holds only for the tests run under it.

#include <memory>
#include <string>

#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/UnixProgram.h"

namespace orvane::testing {

class LoopbackHttpsServer : public LoopbackHttpServer {
 public:
  // Raises std::runtime_error outside the test authority or when the front does not start.
  LoopbackHttpsServer();
  ~LoopbackHttpsServer();

  std::string SecureUrl(const std::string& path) const;

 private:
  loopback::Socket control_ = loopback::kNoSocket;  // the front ends when it closes
  std::unique_ptr<UnixProgram> front_;
  uint16_t securePort_ = 0;
};

}  // namespace orvane::testing
