#pragma once
// The sound check of the SpeechMike: which capture device is the SpeechMike and whether programs
// record from it by default, how loud it is, and five seconds of it kept for a replay. It knows
// no device, no thread and no clock: it is fed blocks of samples, and time is their count.

#include <cstdint>
#include <optional>
#include <string>

#include "audio/SoundDevices.h"

namespace orvane {

// The device the check uses: the first whose name contains "SpeechMike" (any letter case), else
// the default one (else the first one, when the default is not in the list).
struct TChosenDevice {
  TSoundDevice device;
  bool speechMike = false;  // false: no SpeechMike was found, this is the fallback
  bool isDefault = false;   // programs use this very device by default
};
std::optional<TChosenDevice> ChooseDevice(const std::vector<TSoundDevice>& devices, const std::string& defaultId);

// Figures in dBFS; kFloorDb stands for digital silence.
inline constexpr double kFloorDb = -100.0;

struct TSoundLevels {
  uint64_t windows = 0;  // 50 ms windows measured so far; no figure before the first
  // The last window.
  double peakDb = kFloorDb;
  double rmsDb = kFloorDb;
  // The highest window peak of the last 1,5 s.
  double peakHoldDb = kFloorDb;
  bool saturated = false;  // a sample at full scale within the last 1,5 s
  bool silent = false;     // RMS under -60 dBFS for the last 3 s
  // The whole check.
  double loudestPeakDb = kFloorDb;
  double meanRmsDb = kFloorDb;  // the RMS of every sample measured
  bool everSaturated = false;
  bool silentThroughout = false;  // at least 3 s measured, none of it above the silence level
};

class TSoundCheck {
 public:
  static constexpr int kWindowMs = 50;
  static constexpr int kHoldWindows = 30;       // 1,5 s
  static constexpr int kSilenceSeconds = 3;
  static constexpr double kSilenceDb = -60.0;
  static constexpr double kSaturationDb = -0.1;  // within 0,1 dB of full scale
  static constexpr int kRecordingSeconds = 5;

  // Measures a block; a block in another format than the previous one starts the measure over.
  void Feed(const TSoundBlock& block);
  const TSoundLevels& Levels() const { return levels_; }

  // The next kRecordingSeconds of samples fed are kept, in the format they come in.
  void StartRecording();
  bool Recording() const { return recording_; }
  // The last complete recording, empty before one ends.
  const TSoundBuffer& Recorded() const { return recorded_; }

 private:
  void Restart(const TSoundFormat& format);
  template <class Sample>
  void Measure(const Sample* samples, size_t frames);
  void CloseWindow();
  void Record(const TSoundBlock& block);

  TSoundFormat format_;
  bool started_ = false;
  size_t windowFrames_ = 0;
  TSoundLevels levels_;
  // The window being measured.
  size_t framesInWindow_ = 0;
  float windowPeak_ = 0;
  double windowSquares_ = 0;
  // Spans in windows.
  int holdAge_ = 0;
  int saturationAge_ = kHoldWindows;
  uint64_t quietWindows_ = 0;
  bool everLoud_ = false;
  double totalSquares_ = 0;
  uint64_t totalSamples_ = 0;

  bool recording_ = false;
  TSoundBuffer capturing_;
  TSoundBuffer recorded_;
};

// A figure as the group and the log write it: one decimal and a decimal comma ("-12,3"), "< -100,0"
// at the floor. The minus is ASCII: the log files of Windows are in its 8-bit code page.
std::string DecibelText(double db);

}  // namespace orvane
