#pragma once
// TSpeechMikeControl: the wrapper of the Philips SpeechMike component. It connects on the first
// operation call (attaching to a running instance, else creating one, and subscribing to the
// events), stays connected until Disconnect or its destruction, and passes each event of the
// component to the handler that a host has set, with itself as ASender.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "device/SpeechMikeComponent.h"

namespace orvane {

class TSpeechMikeControl : private SpeechMikeEventSink {
 public:
  using TDeviceEvent = std::function<void(TSpeechMikeControl& ASender, int32_t lDeviceID)>;
  using TValueEvent = std::function<void(TSpeechMikeControl& ASender, int32_t lDeviceID, uint32_t value)>;
  using TCountEvent = std::function<void(TSpeechMikeControl& ASender, int32_t lDeviceID, int32_t count)>;
  using TButtonEvent = std::function<void(TSpeechMikeControl& ASender, int32_t lDeviceID, uint32_t EventId)>;
  using TBarcodeEvent = std::function<void(TSpeechMikeControl& ASender, int32_t lDeviceID, std::string& lPtr)>;

  TSpeechMikeControl() = default;
  ~TSpeechMikeControl() override;
  TSpeechMikeControl(const TSpeechMikeControl&) = delete;
  TSpeechMikeControl& operator=(const TSpeechMikeControl&) = delete;

  // Connects now; the operations do it themselves when needed. Fails with a COM error.
  void Connect();
  // Unsubscribes from the events and releases the component.
  void Disconnect();
  bool Connected() const { return connection_ != nullptr; }

  void InitializeDevice(int32_t mode);
  void DeactivateDevice();
  void ActivateDevice();
  void UninitializeDevice();
  void SetDisplayState(int32_t device, uint32_t state);

  TDeviceEvent OnSPMEventDeviceConnected;
  TDeviceEvent OnSPMEventDeviceDisconnected;
  TButtonEvent OnSPMEventButton;
  TBarcodeEvent OnSPMEventBarcode;
  TValueEvent OnSPMEventBatteryStatusChanged;
  TDeviceEvent OnSPMEventUSBGapDetected;
  TValueEvent OnSPMEventWirelessStatusChanged;
  TValueEvent OnSPMEventDockStatusChanged;
  TCountEvent OnSPMEventFirmwareUpgradeProgress;
  TValueEvent OnSPMEventFirmwareTransferError;
  TCountEvent OnSPMEventUSBGap;
  TValueEvent OnSPMEventMotionControl;

 private:
  SpeechMikeConnection& Connection();

  void DeviceConnected(int32_t deviceId) override;
  void DeviceDisconnected(int32_t deviceId) override;
  void Button(int32_t deviceId, uint32_t eventId) override;
  void Barcode(int32_t deviceId, std::string& text) override;
  void BatteryStatusChanged(int32_t deviceId, uint32_t status) override;
  void UsbGapDetected(int32_t deviceId) override;
  void WirelessStatusChanged(int32_t deviceId, uint32_t status) override;
  void DockStatusChanged(int32_t deviceId, uint32_t status) override;
  void FirmwareUpgradeProgress(int32_t deviceId, int32_t percent) override;
  void FirmwareTransferError(int32_t deviceId, uint32_t error) override;
  void UsbGap(int32_t deviceId, int32_t gaps) override;
  void MotionControl(int32_t deviceId, uint32_t motion) override;

  std::unique_ptr<SpeechMikeConnection> connection_;
};

}  // namespace orvane
