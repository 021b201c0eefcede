#pragma once
// A workstation for the tester window's tests: a registry in which the Philips drivers count as
// installed and the user's Philips Speech settings exist, or one that cannot be read at all.

#include "tests/support/ScopedPort.h"
#include "support/FakeRegistry.h"

namespace orvane::testing {

struct TesterWorkstation {
  static constexpr const char* kFeatures = "Installer\\Features\\777D4C2D1DBB5204A8655A0CBF18D267";
  static constexpr const char* kProbe = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

  TesterWorkstation() {
    registry.SetString(TRootKey::ClassesRoot, kFeatures, "SpMikeCtrl", "");
    registry.SetDword(TRootKey::LocalMachine, kProbe, "CurrentMajorVersionNumber", 10);
    registry.store.CreateKey(TRootKey::CurrentUser, "Control Panel\\Philips Speech");
  }
  // Neither the drivers' registration nor the readability probe opens.
  void MakeUnreadable() {
    registry.Refuse(registry.refuseOpen, TRootKey::ClassesRoot, kFeatures);
    registry.Refuse(registry.refuseOpen, TRootKey::LocalMachine, kProbe);
  }

  FakeRegistry registry;
  ScopedPort<Registry> port{registry};
};

}  // namespace orvane::testing
