#include "device/simulated/SimulatedSpeechMike.h"

#include <map>

#include "common/Exceptions.h"
#include "platform/Port.h"
#include "platform/WindowThread.h"

namespace orvane {

struct SimulatedSpeechMike::State {
  bool registered = true;
  bool otherBitnessOnly = false;
  bool initialized = false;
  bool active = false;
  bool plugged = true;
  uint32_t displayState = 0;
  std::map<TSpmOperation, std::string> failures;
  std::map<int, SpeechMikeEventSink*> sinks;  // by connection number
  int nextConnection = 1;
  std::vector<std::string> calls;
  std::function<void()> onChanged;

  void Changed() {
    if (onChanged) onChanged();
  }

  void Call(TSpmOperation operation, const std::string& call) {
    calls.push_back(call);
    const auto failure = failures.find(operation);
    if (failure != failures.end()) throw EOleException(ComponentErrorMessage(failure->second));
  }
};

namespace {

class SimulatedConnection : public SpeechMikeConnection {
 public:
  SimulatedConnection(std::shared_ptr<SimulatedSpeechMike::State> state, int number)
      : state_(std::move(state)), number_(number) {}

  ~SimulatedConnection() override {
    state_->sinks.erase(number_);
    state_->Changed();
  }

  void InitializeDevice(int32_t mode) override {
    state_->Call(TSpmOperation::InitializeDevice, "InitializeDevice(" + std::to_string(mode) + ")");
    state_->initialized = true;
    state_->Changed();
  }

  void DeactivateDevice() override {
    state_->Call(TSpmOperation::DeactivateDevice, "DeactivateDevice()");
    state_->active = false;
    state_->Changed();
  }

  void ActivateDevice() override {
    state_->Call(TSpmOperation::ActivateDevice, "ActivateDevice()");
    if (!state_->initialized) throw EOleException("Not initialized");
    state_->active = true;
    state_->Changed();
  }

  void UninitializeDevice() override {
    state_->Call(TSpmOperation::UninitializeDevice, "UninitializeDevice()");
    state_->initialized = false;
    state_->active = false;
    state_->displayState = 0;
    state_->Changed();
  }

  void SetDisplayState(int32_t device, uint32_t displayState) override {
    state_->Call(TSpmOperation::SetDisplayState,
                 "SetDisplayState(" + std::to_string(device) + "," + std::to_string(displayState) + ")");
    if (!state_->initialized) throw EOleException("Not initialized");
    state_->displayState = displayState;
    state_->Changed();
  }

 private:
  std::shared_ptr<SimulatedSpeechMike::State> state_;
  int number_;
};

void Deliver(SpeechMikeEventSink& sink, int dispId, int32_t device, uint32_t value) {
  switch (dispId) {
    case 1: sink.DeviceConnected(device); break;
    case 2: sink.DeviceDisconnected(device); break;
    case 3: sink.Button(device, value); break;
    case 4: {
      std::string text = std::to_string(value);
      sink.Barcode(device, text);
      break;
    }
    case 5: sink.BatteryStatusChanged(device, value); break;
    case 6: sink.UsbGapDetected(device); break;
    case 7: sink.WirelessStatusChanged(device, value); break;
    case 8: sink.DockStatusChanged(device, value); break;
    case 9: sink.FirmwareUpgradeProgress(device, static_cast<int32_t>(value)); break;
    case 10: sink.FirmwareTransferError(device, value); break;
    case 11: sink.UsbGap(device, static_cast<int32_t>(value)); break;
    case 12: sink.MotionControl(device, value); break;
    default: break;
  }
}

}  // namespace

SimulatedSpeechMike::SimulatedSpeechMike() : state_(std::make_shared<State>()) {}
SimulatedSpeechMike::~SimulatedSpeechMike() = default;

std::unique_ptr<SpeechMikeConnection> SimulatedSpeechMike::Connect(SpeechMikeEventSink& sink) {
  if (!state_->registered) throw EOleSysError("Classe non enregistrée");
  const int number = state_->nextConnection++;
  state_->sinks[number] = &sink;
  auto connection = std::make_unique<SimulatedConnection>(state_, number);
  state_->Changed();
  return connection;
}

bool SimulatedSpeechMike::RegisteredForOtherBitnessOnly() { return state_->otherBitnessOnly; }

void SimulatedSpeechMike::PressButton(uint32_t eventId) { RaiseEvent(3, eventId); }

void SimulatedSpeechMike::RaiseEvent(int dispId, uint32_t value) {
  constexpr int kConnected = 1, kDisconnected = 2;
  if (!state_->plugged && dispId != kConnected) return;
  if (dispId == kConnected || dispId == kDisconnected) {
    state_->plugged = dispId == kConnected;
    state_->Changed();
  }
  if (!state_->initialized || !state_->active) return;
  // The sinks are looked up when the work runs: a connection closed meanwhile gets nothing.
  std::vector<int> subscribed;
  for (const auto& [number, sink] : state_->sinks) subscribed.push_back(number);
  std::weak_ptr<State> weak = state_;
  Port<WindowThread>().Post([weak, subscribed, dispId, value] {
    for (const int number : subscribed) {
      const auto state = weak.lock();
      if (!state) return;
      const auto sink = state->sinks.find(number);
      if (sink == state->sinks.end()) continue;
      Deliver(*sink->second, dispId, kDeviceId, value);
    }
  });
}

bool SimulatedSpeechMike::Initialized() const { return state_->initialized; }
bool SimulatedSpeechMike::Active() const { return state_->active; }
bool SimulatedSpeechMike::Plugged() const { return state_->plugged; }
uint32_t SimulatedSpeechMike::DisplayState() const { return state_->displayState; }
void SimulatedSpeechMike::SetOnChanged(std::function<void()> onChanged) { state_->onChanged = std::move(onChanged); }

void SimulatedSpeechMike::SetRegisteredForTesting(bool registered) {
  state_->registered = registered;
  state_->otherBitnessOnly = false;
}

void SimulatedSpeechMike::SetOtherBitnessOnlyForTesting() {
  state_->registered = false;
  state_->otherBitnessOnly = true;
}

void SimulatedSpeechMike::FailOperationForTesting(TSpmOperation operation, const std::string& description) {
  state_->failures[operation] = description;
}

void SimulatedSpeechMike::ClearFailuresForTesting() { state_->failures.clear(); }
std::vector<std::string> SimulatedSpeechMike::CallsForTesting() const { return state_->calls; }
void SimulatedSpeechMike::ClearCallsForTesting() { state_->calls.clear(); }
size_t SimulatedSpeechMike::ConnectionCountForTesting() const { return state_->sinks.size(); }

SimulatedSpeechMike& TheSimulatedSpeechMike() {
  static SimulatedSpeechMike component;
  return component;
}

}  // namespace orvane
