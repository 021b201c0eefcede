#include "audio/SoundMeter.h"

#include <algorithm>

#include "logging/ApplicationLogger.h"
#include "platform/Port.h"

namespace orvane {

// The check on the adapter's thread. What crosses to the window thread goes through atomics and
// a latest-value slot: the adapter may hold its own lock while it calls here.
class TSoundMeter::Feed : public SoundCaptureSink {
 public:
  void Captured(const TSoundBlock& block) override {
    if (recordWanted_.exchange(false, std::memory_order_acq_rel)) check_.StartRecording();
    const bool recording = check_.Recording();
    const uint64_t windows = check_.Levels().windows;
    check_.Feed(block);
    if (recording && !check_.Recording()) recorded_.store(true, std::memory_order_release);
    // Published as each 50 ms window closes, so the window thread's next refresh shows it.
    if (check_.Levels().windows != windows) levels_.Publish(check_.Levels());
  }
  void Lost(TSoundFault fault) override { lost_.store(fault, std::memory_order_release); }

  // The window thread's side.
  void WantRecording() {
    recorded_.store(false, std::memory_order_relaxed);
    recordWanted_.store(true, std::memory_order_release);
  }
  bool TakeLevels(TSoundLevels& levels) { return levels_.Take(levels); }
  // The recording once complete; the adapter's thread leaves it alone until the next one is wanted.
  const TSoundBuffer* Recorded() const {
    return recorded_.load(std::memory_order_acquire) ? &check_.Recorded() : nullptr;
  }
  TSoundFault LostFault() const { return lost_.load(std::memory_order_acquire); }

 private:
  TSoundCheck check_;
  TLatestValue<TSoundLevels> levels_;
  std::atomic<bool> recordWanted_{false};
  std::atomic<bool> recorded_{false};
  std::atomic<TSoundFault> lost_{TSoundFault::None};
};

namespace {

void Log(const std::string& message, uint8_t level) { AppLogger().Log("Son du micro : " + message, level, 0); }

std::string Quoted(const std::string& name) { return "« " + name + " »"; }

double BarFraction(double db) {
  return std::clamp((db - TSoundMeter::kBarFloorDb) / -TSoundMeter::kBarFloorDb, 0.0, 1.0);
}

std::string YesNo(bool value) { return value ? "oui" : "non"; }

}  // namespace

TSoundMeter::TSoundMeter() = default;

TSoundMeter::~TSoundMeter() { Stop(); }

void TSoundMeter::Fail(TSoundFault fault, const std::string& detail) {
  fault_ = fault;
  std::string line = SoundFaultText(fault);
  if (capturing_) line += " (" + Quoted(capturing_->device.name) + ")";
  if (!detail.empty()) line += " : " + detail;
  Log(line, 5);
}

void TSoundMeter::Start() {
  Stop();
  capturing_.reset();
  playing_.reset();
  fault_ = TSoundFault::None;
  levels_ = TSoundLevels{};
  recorded_ = TSoundBuffer{};
  running_ = true;
  TSoundDeviceList devices;
  try {
    devices = Port<SoundDevices>().Devices();
  } catch (const ESoundError& e) {
    Fail(e.Fault(), e.what());
    return;
  }
  capturing_ = ChooseDevice(devices.capture, devices.defaultCapture);
  playing_ = ChooseDevice(devices.playback, devices.defaultPlayback);
  if (!capturing_) {
    Fail(TSoundFault::NoCaptureDevice, "");
    return;
  }
  Log(DeviceText() + " ; " + DefaultText() +
          (playing_ ? " ; réécoute sur " + Quoted(playing_->device.name) : " ; aucun périphérique de lecture"),
      200);
  feed_ = std::make_unique<Feed>();
  try {
    capture_ = Port<SoundDevices>().Capture(capturing_->device.id, *feed_);
  } catch (const ESoundError& e) {
    feed_.reset();
    Fail(e.Fault(), e.what());
  }
}

void TSoundMeter::Stop() {
  Poll();
  // The capture first: no call reaches the feed once it is gone.
  capture_.reset();
  playback_.reset();
  feed_.reset();
  activity_ = Activity::Idle;
  running_ = false;
}

bool TSoundMeter::Poll() {
  bool changed = false;
  if (feed_) {
    changed = feed_->TakeLevels(levels_);
    if (activity_ == Activity::Recording) {
      if (const TSoundBuffer* recorded = feed_->Recorded()) {
        recorded_ = *recorded;
        activity_ = Activity::Idle;
        Log("enregistrement de " + std::to_string(TSoundCheck::kRecordingSeconds) + " s terminé", 200);
        changed = true;
      }
    }
    if (const TSoundFault lost = feed_->LostFault(); lost != TSoundFault::None && capture_) {
      capture_.reset();
      if (activity_ == Activity::Recording) activity_ = Activity::Idle;
      Fail(lost, "");
      changed = true;
    }
  }
  if (playback_ && playback_->Finished()) {
    const TSoundFault fault = playback_->Fault();
    playback_.reset();
    activity_ = Activity::Idle;
    if (fault != TSoundFault::None)
      Log("réécoute interrompue : " + SoundFaultText(fault), 5);
    else
      Log("réécoute terminée", 200);
    changed = true;
  }
  return changed;
}

void TSoundMeter::RecordClick() {
  if (!RecordEnabled()) return;
  activity_ = Activity::Recording;
  feed_->WantRecording();
}

void TSoundMeter::ReplayClick() {
  if (!ReplayEnabled()) return;
  try {
    playback_ = Port<SoundDevices>().Play(playing_->device.id, recorded_);
    activity_ = Activity::Replaying;
    Log("réécoute sur " + Quoted(playing_->device.name), 200);
  } catch (const ESoundError& e) {
    Log("réécoute impossible sur " + Quoted(playing_->device.name) + " : " + SoundFaultText(e.Fault()) + " (" + e.what() + ")", 5);
  }
}

std::string TSoundMeter::DeviceText() const {
  if (!capturing_) return "Aucun micro";
  return Quoted(capturing_->device.name) + (capturing_->speechMike ? "" : " (aucun SpeechMike)");
}

std::string TSoundMeter::DefaultText() const {
  return capturing_ ? "par défaut : " + YesNo(capturing_->isDefault) : "";
}

std::string TSoundMeter::LevelText() const {
  return levels_.windows > 0 ? DecibelText(levels_.peakHoldDb) + " dBFS" : "";
}

double TSoundMeter::LevelFraction() const { return BarFraction(levels_.peakDb); }

double TSoundMeter::PeakHoldFraction() const { return BarFraction(levels_.peakHoldDb); }

std::string TSoundMeter::SaturationText() const {
  return levels_.windows > 0 ? "saturation : " + YesNo(levels_.saturated) : "";
}

std::string TSoundMeter::SilenceText() const {
  return levels_.windows > 0 ? "silence : " + YesNo(levels_.silent) : "";
}

bool TSoundMeter::RecordEnabled() const { return capture_ != nullptr && activity_ == Activity::Idle; }

bool TSoundMeter::ReplayEnabled() const {
  return running_ && playing_ && !recorded_.samples.empty() && activity_ == Activity::Idle;
}

std::string TSoundMeter::StateText() const {
  if (fault_ != TSoundFault::None) return SoundFaultText(fault_);
  switch (activity_) {
    case Activity::Recording: return "Enregistrement de " + std::to_string(TSoundCheck::kRecordingSeconds) + " s...";
    case Activity::Replaying: return "Réécoute...";
    case Activity::Idle: break;
  }
  return "";
}

std::string TSoundMeter::Summary() const {
  std::string line = "Vérification du son : ";
  if (!capturing_) return line + SoundFaultText(fault_ == TSoundFault::None ? TSoundFault::NoCaptureDevice : fault_);
  line += DeviceText() + " ; " + DefaultText();
  if (levels_.windows > 0) {
    line += " ; crête " + DecibelText(levels_.loudestPeakDb) + " dBFS ; moyenne " + DecibelText(levels_.meanRmsDb) +
            " dBFS ; saturation : " + YesNo(levels_.everSaturated) + " ; silence : " + YesNo(levels_.silentThroughout);
  } else {
    line += " ; aucune mesure";
  }
  if (fault_ != TSoundFault::None) line += " ; " + SoundFaultText(fault_);
  return line;
}

}  // namespace orvane
