#include "audio/SoundCheck.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace orvane {
namespace {

bool NamesSpeechMike(const std::string& name) {
  std::string lower(name.size(), ' ');
  std::transform(name.begin(), name.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  return lower.find("speechmike") != std::string::npos;
}

double AmplitudeDb(double amplitude) {
  return amplitude > 0 ? std::max(kFloorDb, 20.0 * std::log10(amplitude)) : kFloorDb;
}

// The amplitude from which a sample counts as full scale.
const float kSaturationLevel = static_cast<float>(std::pow(10.0, TSoundCheck::kSaturationDb / 20.0));

inline float Normalised(int16_t sample) { return static_cast<float>(sample) * (1.0f / 32768.0f); }
inline float Normalised(float sample) { return sample; }

}  // namespace

std::optional<TChosenDevice> ChooseDevice(const std::vector<TSoundDevice>& devices, const std::string& defaultId) {
  if (devices.empty()) return std::nullopt;
  const auto speechMike = std::find_if(devices.begin(), devices.end(), [](const TSoundDevice& d) { return NamesSpeechMike(d.name); });
  const auto byDefault = std::find_if(devices.begin(), devices.end(), [&](const TSoundDevice& d) { return d.id == defaultId; });
  const TSoundDevice& chosen = speechMike != devices.end() ? *speechMike : byDefault != devices.end() ? *byDefault : devices.front();
  // Where the default is an alias of its own (Wine), no real device is the default.
  return TChosenDevice{chosen, speechMike != devices.end(), !defaultId.empty() && chosen.id == defaultId};
}

void TSoundCheck::Restart(const TSoundFormat& format) {
  // The last recording stays: the window thread may be reading it.
  format_ = format;
  started_ = true;
  windowFrames_ = std::max<size_t>(1, static_cast<size_t>(format.rate) * kWindowMs / 1000);
  levels_ = TSoundLevels{};
  framesInWindow_ = 0;
  windowPeak_ = 0;
  windowSquares_ = 0;
  holdAge_ = 0;
  saturationAge_ = kHoldWindows;
  quietWindows_ = 0;
  everLoud_ = false;
  totalSquares_ = 0;
  totalSamples_ = 0;
  if (recording_) StartRecording();
}

void TSoundCheck::Feed(const TSoundBlock& block) {
  if (block.frames == 0 || block.format.channels <= 0 || block.format.rate <= 0) return;
  if (!started_ || !(block.format == format_)) Restart(block.format);
  if (recording_) Record(block);
  if (block.format.type == TSampleType::Int16)
    Measure(static_cast<const int16_t*>(block.samples), block.frames);
  else
    Measure(static_cast<const float*>(block.samples), block.frames);
}

template <class Sample>
void TSoundCheck::Measure(const Sample* samples, size_t frames) {
  const size_t channels = static_cast<size_t>(format_.channels);
  while (frames > 0) {
    const size_t take = std::min(frames, windowFrames_ - framesInWindow_);
    const size_t count = take * channels;
    float peak = windowPeak_;
    // Single precision per run, summed into the window's double: exact enough for 0,01 dB.
    float squares = 0;
    for (size_t i = 0; i < count; ++i) {
      const float x = Normalised(samples[i]);
      peak = std::max(peak, std::fabs(x));
      squares += x * x;
    }
    windowPeak_ = peak;
    windowSquares_ += squares;
    framesInWindow_ += take;
    samples += count;
    frames -= take;
    if (framesInWindow_ == windowFrames_) CloseWindow();
  }
}

void TSoundCheck::CloseWindow() {
  const double sampleCount = static_cast<double>(windowFrames_) * format_.channels;
  TSoundLevels& l = levels_;
  ++l.windows;
  l.peakDb = AmplitudeDb(windowPeak_);
  l.rmsDb = windowSquares_ > 0 ? std::max(kFloorDb, 10.0 * std::log10(windowSquares_ / sampleCount)) : kFloorDb;
  if (l.peakDb >= l.peakHoldDb || ++holdAge_ >= kHoldWindows) {
    l.peakHoldDb = l.peakDb;
    holdAge_ = 0;
  }
  saturationAge_ = windowPeak_ >= kSaturationLevel ? 0 : std::min(saturationAge_ + 1, kHoldWindows);
  l.saturated = saturationAge_ < kHoldWindows;
  l.everSaturated = l.everSaturated || l.saturated;
  if (l.rmsDb < kSilenceDb) {
    ++quietWindows_;
  } else {
    quietWindows_ = 0;
    everLoud_ = true;
  }
  const uint64_t silenceFrames = static_cast<uint64_t>(format_.rate) * kSilenceSeconds;
  l.silent = quietWindows_ * windowFrames_ >= silenceFrames;
  l.loudestPeakDb = std::max(l.loudestPeakDb, l.peakDb);
  totalSquares_ += windowSquares_;
  totalSamples_ += static_cast<uint64_t>(sampleCount);
  l.meanRmsDb = totalSquares_ > 0 ? std::max(kFloorDb, 10.0 * std::log10(totalSquares_ / static_cast<double>(totalSamples_))) : kFloorDb;
  l.silentThroughout = !everLoud_ && l.windows * windowFrames_ >= silenceFrames;
  framesInWindow_ = 0;
  windowPeak_ = 0;
  windowSquares_ = 0;
}

void TSoundCheck::StartRecording() {
  recording_ = true;
  capturing_ = TSoundBuffer{format_.channels, format_.rate, {}};
  capturing_.samples.reserve(static_cast<size_t>(format_.rate) * kRecordingSeconds * static_cast<size_t>(format_.channels));
}

void TSoundCheck::Record(const TSoundBlock& block) {
  const size_t wanted = static_cast<size_t>(format_.rate) * kRecordingSeconds;
  const size_t frames = std::min(block.frames, wanted - capturing_.Frames());
  const size_t count = frames * static_cast<size_t>(format_.channels);
  if (block.format.type == TSampleType::Int16) {
    const auto* in = static_cast<const int16_t*>(block.samples);
    for (size_t i = 0; i < count; ++i) capturing_.samples.push_back(Normalised(in[i]));
  } else {
    const auto* in = static_cast<const float*>(block.samples);
    capturing_.samples.insert(capturing_.samples.end(), in, in + count);
  }
  if (capturing_.Frames() < wanted) return;
  recorded_ = std::move(capturing_);
  capturing_ = TSoundBuffer{};
  recording_ = false;
}

std::string DecibelText(double db) {
  char text[32];
  std::snprintf(text, sizeof text, db <= kFloorDb ? "< %.1f" : "%.1f", std::max(db, kFloorDb));
  std::string result = text;
  std::replace(result.begin(), result.end(), '.', ',');
  // Rounding may leave "-0,0".
  if (result == "-0,0") result = "0,0";
  return result;
}

}  // namespace orvane
