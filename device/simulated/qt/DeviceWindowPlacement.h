#pragma once
// Shows the simulated SpeechMike's window where it never covers the tester. The place is taken
// once the tester is on the screen, when a window manager has framed and placed it, from the two
// windows' sizes at that moment (the device window may grow controls of its own).

class QWidget;

namespace orvane {

// Call with the tester shown; moves the device window, or both, then shows the device window.
void ShowDeviceWindowBesideTester(QWidget& tester, QWidget& device);

}  // namespace orvane
