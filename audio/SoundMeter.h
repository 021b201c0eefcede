#pragma once
// The tester window's group "Son du micro" without a toolkit: it chooses the SpeechMike's capture
// and playback devices, measures the capture while the device is activated, records five seconds
// and plays them back. The capture runs on the sound adapter's thread; everything here is called
// on the window thread, which polls the figures at 20 Hz or more. No call blocks on the device.

#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include "audio/LatestValue.h"
#include "audio/SoundCheck.h"
#include "audio/SoundDevices.h"

namespace orvane {

class TSoundMeter {
 public:
  // The bar spans this range of dBFS.
  static constexpr double kBarFloorDb = -60.0;

  TSoundMeter();
  ~TSoundMeter();
  TSoundMeter(const TSoundMeter&) = delete;
  TSoundMeter& operator=(const TSoundMeter&) = delete;

  // At activation: chooses the devices (logged at 200) and starts measuring; a fault is shown
  // and logged at 5. Starting again chooses again, so a replugged SpeechMike is found.
  void Start();
  // At deactivation: stops the capture and the replay. The figures stay for the summary.
  void Stop();
  // The window's refresh: takes the latest figures, notices a recording or replay that ended and
  // a device that went away (logged as it is noticed). True when what the group shows changed.
  bool Poll();
  // "Enregistrer 5 s" and "Réécouter"; each does nothing while disabled.
  void RecordClick();
  void ReplayClick();

  // What the group shows.
  // « SpeechMike III », or « Micro interne » (aucun SpeechMike) for the fallback; "Aucun micro".
  std::string DeviceText() const;
  // "par défaut : oui" / "par défaut : non"; "" without a device.
  std::string DefaultText() const;
  // The peak hold as a figure, "-12,3 dBFS"; "" before the first measure.
  std::string LevelText() const;
  // Where the bar ends (the last window's peak) and where its hold mark stands, 0 to 1.
  double LevelFraction() const;
  double PeakHoldFraction() const;
  bool Saturated() const { return levels_.saturated; }
  bool Silent() const { return levels_.silent; }
  // "saturation : oui/non", "silence : oui/non"; "" before the first measure.
  std::string SaturationText() const;
  std::string SilenceText() const;
  bool RecordEnabled() const;
  bool ReplayEnabled() const;
  // What goes on or went wrong, in words: the fault, "Enregistrement de 5 s...", "Réécoute...";
  // "" while simply measuring.
  std::string StateText() const;
  TSoundFault Fault() const { return fault_; }
  bool Measuring() const { return capture_ != nullptr; }
  const TSoundLevels& Levels() const { return levels_; }

  // The log line of the check: "Vérification du son : « SpeechMike III » ; par défaut : oui ;
  // crête -12,3 dBFS ; moyenne -31,0 dBFS ; saturation : non ; silence : non", and the fault if
  // one stopped it; with no device, the fault alone.
  std::string Summary() const;

 private:
  class Feed;
  enum class Activity { Idle, Recording, Replaying };

  void Fail(TSoundFault fault, const std::string& detail);

  std::optional<TChosenDevice> capturing_;
  std::optional<TChosenDevice> playing_;
  TSoundFault fault_ = TSoundFault::None;
  TSoundLevels levels_;
  Activity activity_ = Activity::Idle;
  TSoundBuffer recorded_;
  bool running_ = false;
  std::unique_ptr<Feed> feed_;
  std::unique_ptr<SoundCapture> capture_;
  std::unique_ptr<SoundPlayback> playback_;
};

}  // namespace orvane
