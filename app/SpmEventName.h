#pragma once
// The names of the SpeechMike's button event codes, as the tester shows them.

#include <cstdint>
#include <string>

namespace orvane {

// The name of a button event code ("spmStopPressed" …), "Action inconnue" for a code without one.
std::string SpmEventName(uint32_t code);

}  // namespace orvane
