#pragma once
// The simulated SpeechMike's microphone: a tone at a level the device window sets, written into
// the pipe of a sound server's pipe source, at the pace the server reads it. The demo names that
// pipe in ORVANE_SIMULATED_MICROPHONE when it starts a sound server of its own.

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace orvane {

class TSimulatedMicrophone {
 public:
  // The level below which the microphone is silent.
  static constexpr double kSilentDb = -70.0;

  // Starts writing 16-bit mono 48 kHz samples into the pipe.
  explicit TSimulatedMicrophone(const std::string& pipe);
  ~TSimulatedMicrophone();
  TSimulatedMicrophone(const TSimulatedMicrophone&) = delete;
  TSimulatedMicrophone& operator=(const TSimulatedMicrophone&) = delete;

  // The tone's peak in dBFS; kSilentDb or less is silence.
  void SetLevel(double dbfs);
  double Level() const { return level_.load(); }

 private:
  void Write(int pipe);

  std::atomic<double> level_{-20.0};
  std::atomic<bool> stopping_{false};
  std::thread writer_;
};

// The demo's microphone, made on first use; none when ORVANE_SIMULATED_MICROPHONE is not set.
TSimulatedMicrophone* TheSimulatedMicrophone();

}  // namespace orvane
