#include "common/Global_Computer.h"

#include "common/Global_Utils.h"
#include "platform/Port.h"
#include "platform/SessionInfo.h"

namespace orvane {
namespace {

std::string TrimBlanks(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
  return text.substr(begin, end - begin);
}

// At most the limit's count of characters, a UTF-8 character counting once.
std::string CutToStationLimit(const std::string& text) {
  size_t characters = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    if (characters == kStationNameLimit) return text.substr(0, i);
    ++characters;
  }
  return text;
}

}  // namespace

std::string GetStationName(bool useClientName, bool addTSPrefix) {
  if (ParamExists(kNoTerminalSessionPrefixSwitch)) {
    useClientName = false;
    addTSPrefix = false;
  }
  std::string name;
  if (IsRemoteSession() && useClientName) {
    const std::string client = GetSessionClientName();
    name = addTSPrefix ? kTerminalSessionPrefix + client : client;
  } else {
    // A computer name that cannot be read leaves the station name empty.
    name = Port<SessionInfo>().ComputerName().value_or(std::string());
  }
  name = name.substr(0, name.find('\0'));
  return CutToStationLimit(name);
}

bool IsRemoteSession() { return Port<SessionInfo>().IsRemoteSession(); }

std::string GetSessionInfo(uint8_t infoClass) {
  if (!IsRemoteSession()) return {};
  // The text items of the session library's enumeration.
  switch (infoClass) {
    case 0: case 2: case 3: case 5: case 6: case 7: case 10: case 11:
      break;
    default:
      return {};
  }
  const std::optional<std::string> text = Port<SessionInfo>().QuerySessionInformation(infoClass);
  return text ? TrimBlanks(*text) : std::string();
}

std::string GetSessionClientName() { return GetSessionInfo(kSessionClientName); }

}  // namespace orvane
