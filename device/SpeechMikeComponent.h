#pragma once
// The SpeechMike component port: the Philips control that drives one dictation microphone.
// On Windows it is the Philips COM component; on Linux a simulated component takes its place.
// Every failure (a failing status, a class that cannot be reached) is an error of the COM
// family (EOleError and its subclasses), carrying the component's description.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace orvane {

// What the component raises, one call per event, on the window thread and never inside the
// operation that caused it. The event ids of the component's event interface are given. The
// calls do not throw: the wrapper reports its handlers' errors itself.
class SpeechMikeEventSink {
 public:
  virtual ~SpeechMikeEventSink() = default;
  virtual void DeviceConnected(int32_t deviceId) = 0;                              // 1
  virtual void DeviceDisconnected(int32_t deviceId) = 0;                           // 2
  virtual void Button(int32_t deviceId, uint32_t eventId) = 0;                     // 3
  virtual void Barcode(int32_t deviceId, std::string& text) = 0;                   // 4, in-out
  virtual void BatteryStatusChanged(int32_t deviceId, uint32_t status) = 0;        // 5
  virtual void UsbGapDetected(int32_t deviceId) = 0;                               // 6
  virtual void WirelessStatusChanged(int32_t deviceId, uint32_t status) = 0;       // 7
  virtual void DockStatusChanged(int32_t deviceId, uint32_t status) = 0;           // 8
  virtual void FirmwareUpgradeProgress(int32_t deviceId, int32_t percent) = 0;     // 9
  virtual void FirmwareTransferError(int32_t deviceId, uint32_t error) = 0;        // 10
  virtual void UsbGap(int32_t deviceId, int32_t gaps) = 0;                         // 11
  virtual void MotionControl(int32_t deviceId, uint32_t motion) = 0;               // 12
};

// One connection to the component: it is subscribed to the events while it lives;
// destroying it unsubscribes and releases the component.
class SpeechMikeConnection {
 public:
  virtual ~SpeechMikeConnection() = default;
  virtual void InitializeDevice(int32_t mode) = 0;
  virtual void DeactivateDevice() = 0;
  virtual void ActivateDevice() = 0;
  virtual void UninitializeDevice() = 0;
  // Fails with "Not initialized" before InitializeDevice.
  virtual void SetDisplayState(int32_t device, uint32_t state) = 0;
};

class SpeechMikeComponent {
 public:
  virtual ~SpeechMikeComponent() = default;
  // Attaches to a running instance, else creates one, and subscribes sink to its events.
  // The sink must outlive the connection.
  virtual std::unique_ptr<SpeechMikeConnection> Connect(SpeechMikeEventSink& sink) = 0;
  // Whether the class is registered for programs of the other bitness but not for this one (a
  // 32-bit in-process server seen from a 64-bit program, or the reverse): this program can never
  // load it, and reinstalling the drivers cannot change that.
  virtual bool RegisteredForOtherBitnessOnly() = 0;
};

// The message of a failing status: the component's description without trailing blanks and
// periods.
std::string ComponentErrorMessage(const std::string& description);

// The display states the system sends to SetDisplayState.
enum TSpmDisplayState : uint32_t {
  spmDisplayStateStop = 1,
  spmDisplayStatePlay = 2,
  spmDisplayStateFastForward = 3,
  spmDisplayStateFastRewind = 4,
  spmDisplayStateVorStop = 5,
  spmDisplayStateRecordInsert = 6,
  spmDisplayStateRecordOverwrite = 7,
  spmDisplayStateRecordStandbyInsert = 8,
  spmDisplayStateRecordStandbyOverwrite = 9,
  spmDisplayStateCommand = 10,
  spmDisplayStateRecordStandbyCommand = 11,
  spmDisplayStateInstruction = 12,
  spmDisplayStateIdentifyDevice = 13,
};

// Their names, in code order: kSpmDisplayStateNames[state - 1].
inline constexpr std::array<const char*, spmDisplayStateIdentifyDevice> kSpmDisplayStateNames = {
    "spmDisplayStateStop",
    "spmDisplayStatePlay",
    "spmDisplayStateFastForward",
    "spmDisplayStateFastRewind",
    "spmDisplayStateVorStop",
    "spmDisplayStateRecordInsert",
    "spmDisplayStateRecordOverwrite",
    "spmDisplayStateRecordStandbyInsert",
    "spmDisplayStateRecordStandbyOverwrite",
    "spmDisplayStateCommand",
    "spmDisplayStateRecordStandbyCommand",
    "spmDisplayStateInstruction",
    "spmDisplayStateIdentifyDevice",
};

// The name of a display state; "" for a code without a name.
std::string SpmDisplayStateName(uint32_t state);

}  // namespace orvane
