#include "audio/SoundDevices.h"

#include <algorithm>

namespace orvane {

std::string SoundFaultText(TSoundFault fault) {
  switch (fault) {
    case TSoundFault::None: return "";
    case TSoundFault::NoServer: return "Aucun service audio";
    case TSoundFault::NoCaptureDevice: return "Aucun micro sur le poste";
    case TSoundFault::Unplugged: return "Micro débranché";
    case TSoundFault::Busy: return "Micro occupé par un autre programme (mode exclusif)";
    case TSoundFault::Failed: return "Micro inutilisable";
  }
  return "";
}

TSoundBuffer ConvertSoundBuffer(const TSoundBuffer& samples, int channels, int rate) {
  TSoundBuffer out{channels, rate, {}};
  const size_t inFrames = samples.Frames();
  if (inFrames == 0 || channels <= 0 || rate <= 0 || samples.rate <= 0) return out;
  const size_t inChannels = static_cast<size_t>(samples.channels);
  // One value per channel of the output at an input frame.
  const auto frame = [&](size_t index, std::vector<float>& values) {
    const float* in = &samples.samples[index * inChannels];
    if (inChannels == values.size()) {
      std::copy(in, in + inChannels, values.begin());
      return;
    }
    float sum = 0;
    for (size_t c = 0; c < inChannels; ++c) sum += in[c];
    std::fill(values.begin(), values.end(), sum / static_cast<float>(inChannels));
  };
  const size_t outFrames = static_cast<size_t>(static_cast<double>(inFrames) * rate / samples.rate);
  out.samples.reserve(outFrames * static_cast<size_t>(channels));
  std::vector<float> a(static_cast<size_t>(channels)), b(a.size());
  const double step = static_cast<double>(samples.rate) / rate;
  for (size_t i = 0; i < outFrames; ++i) {
    const double position = static_cast<double>(i) * step;
    const size_t first = std::min(static_cast<size_t>(position), inFrames - 1);
    const float weight = static_cast<float>(position - static_cast<double>(first));
    frame(first, a);
    frame(std::min(first + 1, inFrames - 1), b);
    for (size_t c = 0; c < a.size(); ++c) out.samples.push_back(a[c] + (b[c] - a[c]) * weight);
  }
  return out;
}

}  // namespace orvane
