#include "tests/support/LoopbackHttpsServer.h"

#include <chrono>
#include <cstdlib>
#include <stdexcept>

#include "tests/support/HangLimit.h"

namespace orvane::testing {

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  if (!value || !*value) {
    throw std::runtime_error(std::string(name) + " is not set: run under tools/with-test-authority");
  }
  return value;
}

int HangLimitMilliseconds() { return static_cast<int>(std::chrono::milliseconds(kHangLimit).count()); }

}  // namespace

LoopbackHttpsServer::LoopbackHttpsServer() {
  const std::string certificate = Environment("ORVANE_TEST_TLS_CERT"), key = Environment("ORVANE_TEST_TLS_KEY");
  uint16_t controlPort = 0;
  const loopback::Socket listening = loopback::Listen(controlPort);
  if (listening == loopback::kNoSocket) throw std::runtime_error("TLS front: no control socket");
  front_ = std::make_unique<UnixProgram>(std::vector<std::string>{
      "/usr/bin/python3", std::string(ORVANE_SOURCE_DIR) + "/tests/support/loopback-tls-front",
      std::to_string(controlPort), std::to_string(Port()), certificate, key});
  if (loopback::WaitReadable(listening, HangLimitMilliseconds())) control_ = loopback::Accept(listening);
  loopback::Close(listening);
  std::string line;
  char buffer[16];
  while (control_ != loopback::kNoSocket && line.find('\n') == std::string::npos) {
    const int received = loopback::Receive(control_, buffer, sizeof buffer, HangLimitMilliseconds());
    if (received <= 0) break;
    line.append(buffer, static_cast<size_t>(received));
  }
  securePort_ = static_cast<uint16_t>(std::atoi(line.c_str()));
  if (securePort_ == 0) {
    loopback::Close(control_);
    throw std::runtime_error("TLS front: it did not tell its port");
  }
}

LoopbackHttpsServer::~LoopbackHttpsServer() {
  loopback::Close(control_);
  front_.reset();
}

std::string LoopbackHttpsServer::SecureUrl(const std::string& path) const {
  return "https://127.0.0.1:" + std::to_string(securePort_) + path;
}

}  // namespace orvane::testing
