#pragma once
// The driver verification run before the tester may be used, and the current-site flag kept
// beside it.

#include <cstdint>

namespace orvane {

class TpFIBDatabase;

// Makes sure the Philips SpeechMike drivers are installed, installing them when they are
// missing or a reinstallation is asked for (by the command line or by the station), then
// adjusts the Philips Speech settings when the outcome is usable. False: the caller stops.
bool VerificationPilotesSM(bool forcedByStation, TpFIBDatabase* database, int32_t stationId);

// One per process: the program's start-up makes it before any window and releases it at its end
// (TOrvaneProgram).
class TKaldCurrentSite {
 public:
  bool GetCurrentSite() const { return currentSite_; }
  void SetCurrentSite(bool value) { currentSite_ = value; }

 private:
  bool currentSite_ = false;
};

}  // namespace orvane
