#pragma once
// Sound devices in memory: a list the test sets, a capture whose blocks the test delivers (on the
// test's thread, standing for the adapter's), playbacks the test finishes, and any operation made
// to fail with a fault.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audio/SoundDevices.h"
#include "tests/support/ScopedPort.h"

namespace orvane::testing {

class FakeSoundDevices : public SoundDevices {
 public:
  TSoundDeviceList devices;
  std::optional<TSoundFault> failDevices, failCapture, failPlay;

  struct Played {
    std::string id;
    TSoundBuffer samples;
  };
  std::vector<Played> played;

  TSoundDeviceList Devices() override {
    if (failDevices) throw ESoundError(*failDevices, "refusé");
    return devices;
  }

  std::unique_ptr<SoundCapture> Capture(const std::string& id, SoundCaptureSink& sink) override {
    if (failCapture) throw ESoundError(*failCapture, "refusé");
    auto capture = std::make_unique<FakeCapture>(*this);
    sink_ = &sink;
    capturedId_ = id;
    return capture;
  }

  std::unique_ptr<SoundPlayback> Play(const std::string& id, const TSoundBuffer& samples) override {
    if (failPlay) throw ESoundError(*failPlay, "refusé");
    played.push_back({id, samples});
    auto playback = std::make_unique<FakePlayback>(*this);
    playback_ = playback.get();
    return playback;
  }

  // The device's side.
  bool Capturing() const { return sink_ != nullptr; }
  const std::string& CapturedId() const { return capturedId_; }
  void Deliver(const TSoundBlock& block) {
    if (sink_) sink_->Captured(block);
  }
  void Lose(TSoundFault fault) {
    if (sink_) sink_->Lost(fault);
  }
  // Ends the last playback started.
  void FinishPlayback(TSoundFault fault = TSoundFault::None) {
    if (playback_) playback_->End(fault);
  }

 private:
  struct FakeCapture : SoundCapture {
    explicit FakeCapture(FakeSoundDevices& owner) : owner(owner) {}
    ~FakeCapture() override { owner.sink_ = nullptr; }
    FakeSoundDevices& owner;
  };
  struct FakePlayback : SoundPlayback {
    explicit FakePlayback(FakeSoundDevices& owner) : owner(owner) {}
    ~FakePlayback() override {
      if (owner.playback_ == this) owner.playback_ = nullptr;
    }
    void End(TSoundFault fault) { Finish(fault); }
    FakeSoundDevices& owner;
  };
  SoundCaptureSink* sink_ = nullptr;
  std::string capturedId_;
  FakePlayback* playback_ = nullptr;
};

struct ScopedFakeSoundDevices {
  FakeSoundDevices devices;
  ScopedPort<SoundDevices> port{devices};
};

}  // namespace orvane::testing
