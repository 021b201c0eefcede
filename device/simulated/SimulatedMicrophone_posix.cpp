#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <numbers>
#include <thread>
#include <vector>

#include "device/simulated/SimulatedMicrophone.h"

namespace orvane {
namespace {

constexpr int kRate = 48000;
constexpr int kToneHz = 440;
constexpr int kBlockFrames = kRate / 100;  // 10 ms

}  // namespace

TSimulatedMicrophone::TSimulatedMicrophone(const std::string& pipe) {
  // Not blocking on a server that has not opened the pipe yet: the writer waits for room instead.
  const int fd = open(pipe.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return;
  writer_ = std::thread([this, fd] {
    Write(fd);
    close(fd);
  });
}

TSimulatedMicrophone::~TSimulatedMicrophone() {
  stopping_ = true;
  if (writer_.joinable()) writer_.join();
}

void TSimulatedMicrophone::SetLevel(double dbfs) { level_ = dbfs; }

void TSimulatedMicrophone::Write(int pipe) {
  // A server that went away makes writes fail: this thread sees the error, not the process a signal.
  sigset_t broken;
  sigemptyset(&broken);
  sigaddset(&broken, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &broken, nullptr);
  std::vector<int16_t> block(kBlockFrames);
  uint64_t frame = 0;
  // A pipe source takes what comes as fast as it comes: the microphone keeps its own time.
  auto due = std::chrono::steady_clock::now();
  while (!stopping_) {
    due += std::chrono::milliseconds(1000 * kBlockFrames / kRate);
    std::this_thread::sleep_until(due);
    const double db = level_;
    const double amplitude = db <= kSilentDb ? 0.0 : 32767.0 * std::pow(10.0, db / 20.0);
    for (int16_t& sample : block) {
      sample = static_cast<int16_t>(std::lround(amplitude * std::sin(2 * std::numbers::pi * kToneHz * static_cast<double>(frame % kRate) / kRate)));
      ++frame;
    }
    const char* bytes = reinterpret_cast<const char*>(block.data());
    size_t left = block.size() * sizeof(int16_t);
    while (left > 0 && !stopping_) {
      // The wait for room is bounded so that the end of the program is seen.
      pollfd room{pipe, POLLOUT, 0};
      if (poll(&room, 1, 100) <= 0) continue;
      const ssize_t written = write(pipe, bytes, left);
      if (written < 0) {
        if (errno == EAGAIN || errno == EINTR) continue;
        timespec none{};
        sigtimedwait(&broken, nullptr, &none);
        return;
      }
      bytes += written;
      left -= static_cast<size_t>(written);
    }
  }
}

TSimulatedMicrophone* TheSimulatedMicrophone() {
  static const std::unique_ptr<TSimulatedMicrophone> microphone = [] {
    const char* pipe = std::getenv("ORVANE_SIMULATED_MICROPHONE");
    return pipe && *pipe ? std::make_unique<TSimulatedMicrophone>(pipe) : nullptr;
  }();
  return microphone.get();
}

}  // namespace orvane
