#include "tests/support/LoopbackHttpServer.h"

#include <algorithm>
#include <stdexcept>

namespace orvane::testing {

LoopbackHttpServer::LoopbackHttpServer() {
  listening_ = loopback::Listen(port_);
  if (listening_ == loopback::kNoSocket) throw std::runtime_error("loopback server: no listening socket");
  thread_ = std::thread([this] { Run(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  {
    // A send blocked on a client that reads no more is woken by the shutdown.
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    if (client_ != loopback::kNoSocket) loopback::Shutdown(client_);
  }
  stopped_.notify_all();
  thread_.join();
  loopback::Close(listening_);
}

void LoopbackHttpServer::Serve(const std::string& path, Route route) {
  std::lock_guard<std::mutex> lock(mutex_);
  routes_[path] = std::move(route);
}

std::string LoopbackHttpServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> LoopbackHttpServer::Requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

void LoopbackHttpServer::ClearRequests() {
  std::lock_guard<std::mutex> lock(mutex_);
  requests_.clear();
}

void LoopbackHttpServer::Run() {
  while (!stopping_) {
    if (!loopback::WaitReadable(listening_, 50)) continue;
    const loopback::Socket client = loopback::Accept(listening_);
    if (client == loopback::kNoSocket) continue;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      client_ = client;
    }
    Answer(client);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      client_ = loopback::kNoSocket;
    }
    loopback::Close(client);
  }
}

void LoopbackHttpServer::Answer(loopback::Socket client) {
  std::string request;
  char buffer[4096];
  while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
    const int received = loopback::Receive(client, buffer, sizeof buffer, 5000);
    if (received <= 0) return;
    request.append(buffer, static_cast<size_t>(received));
  }
  const size_t methodEnd = request.find(' ');
  const size_t pathEnd = request.find(' ', methodEnd + 1);
  if (methodEnd == std::string::npos || pathEnd == std::string::npos) return;
  const std::string method = request.substr(0, methodEnd);
  const std::string path = request.substr(methodEnd + 1, pathEnd - methodEnd - 1);

  Route route;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back(path);
    auto found = routes_.find(path);
    if (found != routes_.end()) {
      route = found->second;
    } else {
      route.status = 404;
      route.body = "not found";
    }
  }
  const std::string reason = route.status == 200 ? "OK" : route.status == 404 ? "Not Found" : "Status";
  std::string head = "HTTP/1.1 " + std::to_string(route.status) + " " + reason +
                     "\r\nContent-Type: application/octet-stream\r\nConnection: close\r\n";
  if (route.announceLength) head += "Content-Length: " + std::to_string(route.body.size()) + "\r\n";
  if (!route.location.empty()) head += "Location: " + route.location + "\r\n";
  head += "\r\n";
  if (!loopback::SendAll(client, head.data(), head.size())) return;
  if (method == "HEAD" || !SendBody(client, route)) return;
  // A silent server: wait for the client to give up and close its end.
  while (route.stall && !stopping_) {
    if (!loopback::WaitReadable(client, 50)) continue;
    if (loopback::Receive(client, buffer, sizeof buffer, 50) <= 0) return;
  }
}

bool LoopbackHttpServer::SendBody(loopback::Socket client, const Route& route) {
  if (route.endless) {
    // At most 16 MB/s, as a fast link would bring it: Wine's URL library reads on for as long as
    // data is waiting and tells its caller nothing until the socket runs dry, which a loopback
    // sender without pause keeps from ever happening.
    const size_t piece = std::min<size_t>(route.body.size(), 16384);
    while (Pause(std::chrono::milliseconds(1)) && loopback::SendAll(client, route.body.data(), piece)) {
    }
    return false;
  }
  const size_t bodyBytes = std::min(route.body.size(), route.closeAfter);
  if (route.bytesPerSecond == 0) return loopback::SendAll(client, route.body.data(), bodyBytes);
  const auto interval = std::chrono::milliseconds(1000) / route.bytesPerSecond;
  for (size_t sent = 0; sent < bodyBytes; ++sent) {
    if (!Pause(interval) || !loopback::SendAll(client, route.body.data() + sent, 1)) return false;
  }
  return true;
}

bool LoopbackHttpServer::Pause(std::chrono::milliseconds span) {
  std::unique_lock<std::mutex> lock(mutex_);
  return !stopped_.wait_for(lock, span, [this] { return stopping_.load(); });
}

}  // namespace orvane::testing
