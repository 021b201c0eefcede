// On Linux the server's folder is a fresh one, and the sound adapter finds it through
// PULSE_SERVER, which the client library reads at each connection.
#include <cstdlib>
#include <filesystem>
#include <string>

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

void TestSoundServer::RemoveFolder(const Folder& folder) {
  std::error_code ignored;
  std::filesystem::remove_all(folder.localPath, ignored);
}

}  // namespace orvane::testing
