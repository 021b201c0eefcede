#pragma once
// The adjustment of the current user's Philips Speech settings for every SpeechMike model.

#include <array>

namespace orvane {

inline constexpr std::array<const char*, 19> kModelesSpeechMike = {
    "3000", "3005", "3010", "3200", "3205", "3210", "3215", "3300", "3310", "3315",
    "5262", "5272", "5274", "5276", "5284", "6264_52", "7272", "7274", "7276"};

// Turns "SequenceEnabled" off in each model's settings and stamps what it changes with
// "KALDInstallation". Raises when a write fails (after the one retry a stamp may get).
void AjustementCleRegistreSM();

}  // namespace orvane
