// On Linux the server's folder is a fresh one, and the sound adapter finds it through
// PULSE_SERVER, which the client library reads at each connection.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "tests/support/HangLimit.h"
#include "tests/support/TestSoundServer.h"

namespace orvane::testing {

TestSoundServer::Folder TestSoundServer::MakeFolder() {
  // Short: a socket's path has at most 107 characters.
  std::string path = "/tmp/orvane-sound-XXXXXX";
  if (!mkdtemp(path.data())) return {};
  setenv("PULSE_SERVER", ("unix:" + path + "/native").c_str(), 1);
  return {path, path};
}

std::string TestSoundServer::AfterUnplug(const std::string&) { return ""; }

// The server may still be unloading its devices (and removing their pipes) after its socket went.
void TestSoundServer::RemoveFolder(const Folder& folder) {
  const auto bound = std::chrono::steady_clock::now() + kHangLimit;
  std::error_code ignored;
  while (std::filesystem::remove_all(folder.localPath, ignored), std::filesystem::exists(folder.localPath)) {
    if (std::chrono::steady_clock::now() > bound) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

}  // namespace orvane::testing
