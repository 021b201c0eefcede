// On Linux the SpeechMike component is the process-wide simulated one.
#include "platform/Port.h"
#include "device/simulated/SimulatedSpeechMike.h"

namespace orvane {

template <>
SpeechMikeComponent& PlatformAdapter<SpeechMikeComponent>() {
  return TheSimulatedSpeechMike();
}

}  // namespace orvane
