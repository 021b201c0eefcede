#pragma once
// A simulated SpeechMike component: honours the calls, errors and events of the Philips one,
// with one device whose buttons a window presses and whose display state it shows. Tests can
// make it fail any operation with a description, or behave as an unregistered class.
// Everything runs on the window thread; events are posted to it (WindowThread port).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "device/SpeechMikeComponent.h"

namespace orvane {

enum class TSpmOperation { InitializeDevice, DeactivateDevice, ActivateDevice, UninitializeDevice, SetDisplayState };

class SimulatedSpeechMike : public SpeechMikeComponent {
 public:
  static constexpr int32_t kDeviceId = 1;

  SimulatedSpeechMike();
  ~SimulatedSpeechMike() override;
  SimulatedSpeechMike(const SimulatedSpeechMike&) = delete;
  SimulatedSpeechMike& operator=(const SimulatedSpeechMike&) = delete;

  // Fails with the COM error of a class that is not registered while registered is false.
  std::unique_ptr<SpeechMikeConnection> Connect(SpeechMikeEventSink& sink) override;

  bool RegisteredForOtherBitnessOnly() override;

  // The device's side. A button raises its press code, then (ReleaseButton) the release code;
  // events are raised only while the device is initialised and active, and reach the
  // connections subscribed when the window thread gets to them.
  void PressButton(uint32_t eventId);
  // Raises any event id 1 to 12 with one value (ignored by events without one). The connection
  // events plug the device in (1) and out (2), active or not; unplugged, it sends nothing until
  // it is plugged in again.
  void RaiseEvent(int dispId, uint32_t value = 0);

  bool Initialized() const;
  bool Active() const;
  bool Plugged() const;
  // The last display state set since initialisation, 0 when none.
  uint32_t DisplayState() const;

  // Called after each change a window shows (display state, initialised, active, connections).
  void SetOnChanged(std::function<void()> onChanged);

  void SetRegisteredForTesting(bool registered);
  // Unregistered for this program, as a class that only programs of the other bitness can load.
  void SetOtherBitnessOnlyForTesting();
  // Every later call of the operation fails with this description, until cleared.
  void FailOperationForTesting(TSpmOperation operation, const std::string& description);
  void ClearFailuresForTesting();
  // Every operation called, as "InitializeDevice(0)", "SetDisplayState(0,13)", failed or not.
  std::vector<std::string> CallsForTesting() const;
  void ClearCallsForTesting();
  size_t ConnectionCountForTesting() const;

  struct State;

 private:
  std::shared_ptr<State> state_;
};

// The process-wide simulated component, the one the Linux program connects to.
SimulatedSpeechMike& TheSimulatedSpeechMike();

}  // namespace orvane
