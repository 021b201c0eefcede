#pragma once
// Test signals as a device delivers them: interleaved frames of 16-bit or 32-bit float samples,
// the same value on every channel.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <numbers>
#include <vector>

#include "audio/SoundDevices.h"

namespace orvane::testing {

struct SoundSignal {
  TSoundFormat format;
  std::vector<unsigned char> bytes;
  size_t Frames() const { return bytes.size() / format.FrameBytes(); }
  // Frames [first, first + count) as a block.
  TSoundBlock Block(size_t first, size_t count) const {
    return TSoundBlock{bytes.data() + first * format.FrameBytes(), count, format};
  }
};

// Frames of Value(frame index), each value in [-1, 1].
inline SoundSignal MakeSignal(const TSoundFormat& format, size_t frames, const std::function<double(size_t)>& value) {
  SoundSignal signal{format, std::vector<unsigned char>(frames * format.FrameBytes())};
  unsigned char* out = signal.bytes.data();
  for (size_t i = 0; i < frames; ++i) {
    const double v = value(i);
    for (int c = 0; c < format.channels; ++c) {
      if (format.type == TSampleType::Int16) {
        const auto sample = static_cast<int16_t>(std::lround(std::clamp(v * 32768.0, -32768.0, 32767.0)));
        std::memcpy(out, &sample, 2);
        out += 2;
      } else {
        const auto sample = static_cast<float>(v);
        std::memcpy(out, &sample, 4);
        out += 4;
      }
    }
  }
  return signal;
}

inline double Amplitude(double dbfs) { return std::pow(10.0, dbfs / 20.0); }

inline SoundSignal Sine(const TSoundFormat& format, double seconds, double frequency, double dbfs) {
  const double amplitude = Amplitude(dbfs);
  const double step = 2 * std::numbers::pi * frequency / format.rate;
  return MakeSignal(format, static_cast<size_t>(seconds * format.rate),
                    [=](size_t i) { return amplitude * std::sin(step * static_cast<double>(i)); });
}

inline SoundSignal Square(const TSoundFormat& format, double seconds, double frequency, double dbfs) {
  const double amplitude = Amplitude(dbfs);
  const double period = format.rate / frequency;
  return MakeSignal(format, static_cast<size_t>(seconds * format.rate), [=](size_t i) {
    return std::fmod(static_cast<double>(i), period) < period / 2 ? amplitude : -amplitude;
  });
}

inline SoundSignal Zeros(const TSoundFormat& format, size_t frames) {
  return MakeSignal(format, frames, [](size_t) { return 0.0; });
}

// Hands a signal over in blocks of Frames (the last one shorter), as a device does.
template <class Receiver>
void DeliverInBlocks(const SoundSignal& signal, size_t frames, Receiver&& receive) {
  for (size_t first = 0; first < signal.Frames(); first += frames)
    receive(signal.Block(first, std::min(frames, signal.Frames() - first)));
}

}  // namespace orvane::testing
