#pragma once
// The station identity: the computer's name, or in a remote session "TS_" and the client's.

#include <cstdint>
#include <string>

namespace orvane {

inline constexpr size_t kStationNameLimit = 19;
inline constexpr const char* kTerminalSessionPrefix = "TS_";
// On the command line, turns the remote-session station name off for the whole process.
inline constexpr const char* kNoTerminalSessionPrefixSwitch = "NEPASUTILISERPREFIXTS_";

std::string GetStationName(bool useClientName, bool addTSPrefix);
bool IsRemoteSession();
// The trimmed text of one item of the current remote session; empty when unavailable.
std::string GetSessionInfo(uint8_t infoClass);
std::string GetSessionClientName();

}  // namespace orvane
