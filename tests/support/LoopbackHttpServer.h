#pragma once
// A small HTTP server on 127.0.0.1 at an ephemeral port, serving chosen bodies to GET requests,
// one connection at a time; a route can close the connection after part of its body, fall silent,
// drip its body, send a body without end, or redirect.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <limits>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/LoopbackSocket.h"

namespace orvane::testing {

class LoopbackHttpServer {
 public:
  struct Route {
    int status = 200;
    std::string body;
    // Bytes of the body sent before the connection is closed; the announced length stays whole.
    size_t closeAfter = std::numeric_limits<size_t>::max();
    // Without a length the body ends where the connection closes.
    bool announceLength = true;
    // After closeAfter bytes the connection stays open, silent, until the client leaves.
    bool stall = false;
    // Sent as the Location header, for redirects.
    std::string location;
    // Bytes of the body sent each second, one at a time; 0 sends the body at once.
    size_t bytesPerSecond = 0;
    // The body's start (16 KB at most) sent again and again at a fast link's pace, until the client
    // leaves.
    bool endless = false;
  };

  LoopbackHttpServer();
  ~LoopbackHttpServer();
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  void Serve(const std::string& path, Route route);
  std::string Url(const std::string& path) const;
  uint16_t Port() const { return port_; }
  // The paths requested so far, in order.
  std::vector<std::string> Requests() const;
  void ClearRequests();

 private:
  void Run();
  void Answer(loopback::Socket client);
  bool SendBody(loopback::Socket client, const Route& route);
  // Waits for Span unless the server stops first; false when it stops.
  bool Pause(std::chrono::milliseconds span);

  uint16_t port_ = 0;
  loopback::Socket listening_ = loopback::kNoSocket;
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  std::condition_variable stopped_;
  loopback::Socket client_ = loopback::kNoSocket;  // the connection being answered
  std::map<std::string, Route> routes_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

}  // namespace orvane::testing
