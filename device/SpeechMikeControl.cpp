#include "device/SpeechMikeControl.h"

#include <exception>

#include "platform/Dialogs.h"
#include "platform/Port.h"

namespace orvane {

namespace {
// A handler may replace itself or its neighbours while it runs: call a copy. Its error must not
// unwind into the component or the event loop that delivered the event: it reaches the error
// display, and the next events still arrive.
template <class Handler, class... Args>
void Raise(const Handler& handler, Args&&... args) {
  if (!handler) return;
  Handler copy = handler;
  try {
    copy(std::forward<Args>(args)...);
  } catch (const std::exception& e) {
    Port<Dialogs>().MessageError(e.what());
  }
}
}  // namespace

TSpeechMikeControl::~TSpeechMikeControl() { Disconnect(); }

void TSpeechMikeControl::Connect() {
  if (!connection_) connection_ = Port<SpeechMikeComponent>().Connect(*this);
}

void TSpeechMikeControl::Disconnect() { connection_.reset(); }

SpeechMikeConnection& TSpeechMikeControl::Connection() {
  Connect();
  return *connection_;
}

void TSpeechMikeControl::InitializeDevice(int32_t mode) { Connection().InitializeDevice(mode); }
void TSpeechMikeControl::DeactivateDevice() { Connection().DeactivateDevice(); }
void TSpeechMikeControl::ActivateDevice() { Connection().ActivateDevice(); }
void TSpeechMikeControl::UninitializeDevice() { Connection().UninitializeDevice(); }
void TSpeechMikeControl::SetDisplayState(int32_t device, uint32_t state) { Connection().SetDisplayState(device, state); }

void TSpeechMikeControl::DeviceConnected(int32_t id) { Raise(OnSPMEventDeviceConnected, *this, id); }
void TSpeechMikeControl::DeviceDisconnected(int32_t id) { Raise(OnSPMEventDeviceDisconnected, *this, id); }
void TSpeechMikeControl::Button(int32_t id, uint32_t eventId) { Raise(OnSPMEventButton, *this, id, eventId); }
void TSpeechMikeControl::Barcode(int32_t id, std::string& text) { Raise(OnSPMEventBarcode, *this, id, text); }
void TSpeechMikeControl::BatteryStatusChanged(int32_t id, uint32_t v) { Raise(OnSPMEventBatteryStatusChanged, *this, id, v); }
void TSpeechMikeControl::UsbGapDetected(int32_t id) { Raise(OnSPMEventUSBGapDetected, *this, id); }
void TSpeechMikeControl::WirelessStatusChanged(int32_t id, uint32_t v) { Raise(OnSPMEventWirelessStatusChanged, *this, id, v); }
void TSpeechMikeControl::DockStatusChanged(int32_t id, uint32_t v) { Raise(OnSPMEventDockStatusChanged, *this, id, v); }
void TSpeechMikeControl::FirmwareUpgradeProgress(int32_t id, int32_t v) { Raise(OnSPMEventFirmwareUpgradeProgress, *this, id, v); }
void TSpeechMikeControl::FirmwareTransferError(int32_t id, uint32_t v) { Raise(OnSPMEventFirmwareTransferError, *this, id, v); }
void TSpeechMikeControl::UsbGap(int32_t id, int32_t v) { Raise(OnSPMEventUSBGap, *this, id, v); }
void TSpeechMikeControl::MotionControl(int32_t id, uint32_t v) { Raise(OnSPMEventMotionControl, *this, id, v); }

}  // namespace orvane
