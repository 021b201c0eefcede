#pragma once
// The sound devices port: the station's capture and playback devices, capture of blocks of
// samples from one of them, playback of a buffer on one of them. On Windows it is WASAPI in
// shared mode; on Linux the PulseAudio client library (which PipeWire's pulse server serves too).

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/Exceptions.h"

namespace orvane {

enum class TSampleType { Int16, Float32 };

// Samples interleaved by frame; Int16 full scale is 32768, Float32 full scale is 1.0.
struct TSoundFormat {
  TSampleType type = TSampleType::Float32;
  int channels = 1;
  int rate = 48000;
  size_t FrameBytes() const { return static_cast<size_t>(channels) * (type == TSampleType::Int16 ? 2 : 4); }
  bool operator==(const TSoundFormat&) const = default;
};

// A block as the device delivers it; valid only during the call that hands it over.
struct TSoundBlock {
  const void* samples = nullptr;
  size_t frames = 0;
  TSoundFormat format;
};

// Samples kept by the program, always 32-bit float.
struct TSoundBuffer {
  int channels = 1;
  int rate = 48000;
  std::vector<float> samples;
  size_t Frames() const { return channels > 0 ? samples.size() / static_cast<size_t>(channels) : 0; }
};

struct TSoundDevice {
  std::string id;    // what Capture and Play take
  std::string name;  // what the station's sound settings show
  bool operator==(const TSoundDevice&) const = default;
};

struct TSoundDeviceList {
  std::vector<TSoundDevice> capture;
  std::vector<TSoundDevice> playback;
  // The ids of the devices that programs record from and play on by default; empty when none.
  std::string defaultCapture;
  std::string defaultPlayback;
};

// Why a device cannot be used, or stopped being usable.
enum class TSoundFault {
  None,
  NoServer,         // no sound service answers
  NoCaptureDevice,  // the station has no capture device
  Unplugged,        // the device went away
  Busy,             // another program holds the device in exclusive mode
  Failed,           // any other refusal of the device or the service
};

// The group's words for a fault ("" for None).
std::string SoundFaultText(TSoundFault fault);

// A failure of the port, with its fault and the system's own detail in the message.
class ESoundError : public Exception {
 public:
  ESoundError(TSoundFault fault, const std::string& detail) : Exception(detail), fault_(fault) {}
  const char* ClassName() const override { return "ESoundError"; }
  const char* ClassParentName() const override { return "Exception"; }
  TSoundFault Fault() const { return fault_; }

 private:
  TSoundFault fault_;
};

// Receives what a capture delivers, on the adapter's own thread. The adapter may hold its own
// lock during these calls: an implementation takes no lock and does not log.
class SoundCaptureSink {
 public:
  virtual ~SoundCaptureSink() = default;
  virtual void Captured(const TSoundBlock& block) = 0;
  // The capture ended by itself (the device went away, the service stopped); nothing follows.
  virtual void Lost(TSoundFault fault) = 0;
};

// A running capture; destroying it stops it, and no call reaches the sink after that.
class SoundCapture {
 public:
  virtual ~SoundCapture() = default;
};

// A running playback; destroying it stops it.
class SoundPlayback {
 public:
  virtual ~SoundPlayback() = default;
  // True once every sample has been played or the playback has failed (then Fault says why).
  bool Finished() const { return finished_.load(std::memory_order_acquire); }
  TSoundFault Fault() const { return fault_.load(std::memory_order_acquire); }

 protected:
  // Called by the adapter's thread, once.
  void Finish(TSoundFault fault) {
    fault_.store(fault, std::memory_order_release);
    finished_.store(true, std::memory_order_release);
  }

 private:
  std::atomic<bool> finished_{false};
  std::atomic<TSoundFault> fault_{TSoundFault::None};
};

class SoundDevices {
 public:
  virtual ~SoundDevices() = default;
  // Every failure below is an ESoundError.
  virtual TSoundDeviceList Devices() = 0;
  // Starts capturing from the device in the format it delivers; the sink must outlive the capture.
  virtual std::unique_ptr<SoundCapture> Capture(const std::string& id, SoundCaptureSink& sink) = 0;
  // Starts playing a copy of the samples; a device that refuses their format gets them in its own.
  virtual std::unique_ptr<SoundPlayback> Play(const std::string& id, const TSoundBuffer& samples) = 0;
};

// The buffer in another rate and channel count: channels are averaged down or copied up, the rate
// is changed by linear interpolation. For devices that accept only their own format.
TSoundBuffer ConvertSoundBuffer(const TSoundBuffer& samples, int channels, int rate);

}  // namespace orvane
