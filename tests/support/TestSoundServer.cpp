#include "tests/support/TestSoundServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/Port.h"
#include "platform/ProcessRunner.h"
#include "tests/support/HangLimit.h"

namespace orvane::testing {
namespace {

std::string SocketAddress(const std::string& folder) { return "unix:" + folder + "/native"; }

}  // namespace

TestSoundServer::TestSoundServer() : folder_(MakeFolder()) {
  const std::string& dir = folder_.unixPath;
  // The sockets last, every device is there before them. A socket's file comes before the server
  // listens on it: the second one comes only once the first is listening.
  std::ofstream(folder_.localPath + "/server.pa", std::ios::binary)
      << "load-module module-pipe-source source_name=" << kSpeechMikeSource << " file=" << dir
      << "/speechmike.fifo format=s16le rate=48000 channels=1 source_properties=device.description=\"SpeechMike\\ III\"\n"
      << "load-module module-null-sink sink_name=" << kSpeechMikeSink
      << " rate=48000 sink_properties=device.description=\"SpeechMike\\ III\"\n"
      << "load-module module-pipe-source source_name=" << kInternalSource << " file=" << dir
      << "/internal.fifo format=s16le rate=48000 channels=1 source_properties=device.description=\"Micro\\ interne\"\n"
      << "load-module module-null-sink sink_name=" << kSpeakers << " sink_properties=device.description=\"Haut-parleurs\"\n"
      << "set-default-source " << kInternalSource << "\n"
      << "set-default-sink " << kSpeakers << "\n"
      << "load-module module-native-protocol-unix auth-anonymous=1 socket=" << dir << "/native\n"
      << "load-module module-native-protocol-unix socket=" << dir << "/ready\n";
  // -n: no default script; the server never exits while idle; HOME keeps its cookie here.
  const auto started = Port<ProcessRunner>().Run("/usr/bin/env HOME=" + dir + " XDG_RUNTIME_DIR=" + dir +
                                                     " /usr/bin/pulseaudio -n -F " + dir +
                                                     "/server.pa --daemonize=no --exit-idle-time=-1 --use-pid-file=no"
                                                     " --log-target=file:" + dir + "/server.log",
                                                 0, false);
  EXPECT_TRUE(started.started) << "pulseaudio: error " << started.error;
  WaitForFile("ready", true);
}

TestSoundServer::~TestSoundServer() {
  StopFeeding();
  Pactl("exit");
  // The server removes its socket and its pipes as it ends; the feeder ends with them.
  WaitForFile("native", false);
  RemoveFolder(folder_);
}

void TestSoundServer::WaitForFile(const std::string& name, bool present) {
  // By the folder's listing: Wine does not see a socket as a file.
  const auto listed = [&] {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.localPath, error))
      if (entry.path().filename() == name) return true;
    return false;
  };
  const auto bound = std::chrono::steady_clock::now() + kHangLimit;
  while (listed() != present) {
    if (std::chrono::steady_clock::now() > bound) {
      ADD_FAILURE() << "the sound server's " << name << (present ? " never came" : " never went") << "; its log: "
                    << std::ifstream(folder_.localPath + "/server.log").rdbuf();
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

void TestSoundServer::Pactl(const std::string& arguments) {
  Port<ProcessRunner>().Run("/usr/bin/pactl --server=" + SocketAddress(folder_.unixPath) + " " + arguments, 0, false);
}

void TestSoundServer::Unplug() {
  const std::string pactl = "/usr/bin/pactl --server=" + SocketAddress(folder_.unixPath);
  const std::string after = AfterUnplug(pactl);
  Port<ProcessRunner>().Run("/bin/sh -c \"" + pactl + " unload-module module-pipe-source" + (after.empty() ? "" : "; " + after) + "\"", 0, false);
}

void TestSoundServer::RecordSpeaker() {
  // Read by a client of its own, not by the adapter under test; it ends with the server.
  Port<ProcessRunner>().Run("/bin/sh -c \"exec /usr/bin/parec --server=" + SocketAddress(folder_.unixPath) + " -d " +
                                kSpeechMikeSink + ".monitor --raw --format=s16le --rate=48000 --channels=1 > " +
                                folder_.unixPath + "/speaker.raw\"",
                            0, false);
}

SoundSignal TestSoundServer::SpeakerRecording() const {
  std::ifstream in(folder_.localPath + "/speaker.raw", std::ios::binary);
  SoundSignal signal{kMicrophoneFormat, {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()}};
  signal.bytes.resize(signal.bytes.size() / 2 * 2);
  return signal;
}

void TestSoundServer::Feed(const SoundSignal& signal) {
  // A program of the server's side writes the pipe: a write into a pipe whose reader went away
  // must fail, and under Wine it blocks instead. It plays the tone's file over and over while
  // the marker is there, and ends with the pipe's reader.
  const std::string tone = folder_.localPath + "/tone.raw";
  std::ofstream(tone + ".new", std::ios::binary).write(reinterpret_cast<const char*>(signal.bytes.data()),
                                                        static_cast<std::streamsize>(signal.bytes.size()));
  std::filesystem::rename(tone + ".new", tone);
  std::ofstream(folder_.localPath + "/feeding");
  const std::string& dir = folder_.unixPath;
  Port<ProcessRunner>().Run("/bin/sh -c \"while [ -e " + dir + "/feeding ] && cat " + dir + "/tone.raw; do :; done > " +
                                dir + "/speechmike.fifo\"",
                            0, false);
}

void TestSoundServer::StopFeeding() {
  std::error_code ignored;
  std::filesystem::remove(folder_.localPath + "/feeding", ignored);
}

}  // namespace orvane::testing
