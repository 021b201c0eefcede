#pragma once
// Where a workstation's registry tells that the Philips drivers are installed, and a key every
// readable registry holds.

namespace orvane {

// The driver package registers its features here when it is installed per machine, under
// HKEY_CLASSES_ROOT; the value's presence is what counts.
inline constexpr char kDriverFeatureKey[] = "\\Installer\\Features\\777D4C2D1DBB5204A8655A0CBF18D267\\";
inline constexpr char kDriverFeatureValue[] = "SpMikeCtrl";
// Under HKEY_LOCAL_MACHINE: tells a missing package from an unreadable registry.
inline constexpr char kRegistryProbeKey[] = "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\";

}  // namespace orvane
