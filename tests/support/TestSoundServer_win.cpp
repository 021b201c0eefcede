// Under Wine, winepulse reads PULSE_SERVER once, when the program starts: the server is made in
// the folder of the socket it names (tools/wine-test sets one), seen from here through drive Z:.
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/TestSoundServer.h"

namespace orvane::testing {

TestSoundServer::Folder TestSoundServer::MakeFolder() {
  const char* server = std::getenv("PULSE_SERVER");
  std::string socket = server ? server : "";
  if (socket.rfind("unix:", 0) == 0) socket.erase(0, 5);
  const std::string unixPath = socket.substr(0, socket.rfind('/'));
  const std::string localPath = "Z:" + unixPath;
  std::filesystem::create_directories(localPath);
  return {unixPath, localPath};
}

// Windows ends the streams of an endpoint that goes away; winepulse lets the server move them
// to another source instead, so the test ends them as Windows would.
std::string TestSoundServer::AfterUnplug(const std::string& pactl) {
  return pactl + " list short source-outputs | cut -f1 | xargs -r -n1 " + pactl + " kill-source-output";
}

void TestSoundServer::RemoveFolder(const Folder& folder) {
  std::error_code ignored;
  for (const char* name : {"server.pa", "server.log", "speaker.raw", "tone.raw"}) std::filesystem::remove(folder.localPath + "/" + name, ignored);
}

}  // namespace orvane::testing
