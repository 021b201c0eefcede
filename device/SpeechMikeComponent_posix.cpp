// On Linux the SpeechMike component is the process-wide simulated one.
#include "common/Port.h"
#include "device/SimulatedSpeechMike.h"

namespace orvane {

template <>
SpeechMikeComponent& PlatformAdapter<SpeechMikeComponent>() {
  return TheSimulatedSpeechMike();
}

}  // namespace orvane
