#include "tests/support/TestSoundServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/Port.h"
#include "platform/ProcessRunner.h"
#include "tests/support/HangLimit.h"

namespace orvane::testing {
namespace {

std::string SocketAddress(const std::string& folder) { return "unix:" + folder + "/native"; }

}  // namespace

TestSoundServer::TestSoundServer() : folder_(MakeFolder()) {
  IgnoreBrokenPipes();
  const std::string& dir = folder_.unixPath;
  // The socket last: once it is there, every device is.
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
      << "load-module module-native-protocol-unix auth-anonymous=1 socket=" << dir << "/native\n";
  // -n: no default script; the server never exits while idle; HOME keeps its cookie here.
  const auto started = Port<ProcessRunner>().Run("/usr/bin/env HOME=" + dir + " XDG_RUNTIME_DIR=" + dir +
                                                     " /usr/bin/pulseaudio -n -F " + dir +
                                                     "/server.pa --daemonize=no --exit-idle-time=-1 --use-pid-file=no"
                                                     " --log-target=file:" + dir + "/server.log",
                                                 0, false);
  EXPECT_TRUE(started.started) << "pulseaudio: error " << started.error;
  WaitForFile("native", true);
}

TestSoundServer::~TestSoundServer() {
  Pactl("exit");
  // The server removes its socket and its pipes as it ends; the feeder's writes then fail.
  WaitForFile("native", false);
  StopFeeding();
  RemoveFolder(folder_);
}

void TestSoundServer::WaitForFile(const std::string& name, bool present) {
  const auto bound = std::chrono::steady_clock::now() + kHangLimit;
  const std::filesystem::path path = folder_.localPath + "/" + name;
  while (std::filesystem::exists(path) != present) {
    if (std::chrono::steady_clock::now() > bound) {
      ADD_FAILURE() << "the sound server's " << name << (present ? " never came" : " never went") << "; its log: "
                    << std::ifstream(folder_.localPath + "/server.log").rdbuf();
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

void TestSoundServer::Pactl(const std::string& arguments) {
  Port<ProcessRunner>().Run("/usr/bin/pactl --server=" + SocketAddress(folder_.unixPath) + " " + arguments, 0, true);
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
  StopFeeding();
  feeding_ = true;
  feeder_ = std::thread([this, bytes = signal.bytes] {
    // The pipe paces the writes: the server takes them at the microphone's rate.
    std::FILE* pipe = std::fopen((folder_.localPath + "/speechmike.fifo").c_str(), "wb");
    if (!pipe) return;
    std::setvbuf(pipe, nullptr, _IONBF, 0);
    const size_t chunk = 4800 * 2;  // 100 ms
    for (size_t at = 0; feeding_;) {
      const size_t count = std::min(chunk, bytes.size() - at);
      if (std::fwrite(bytes.data() + at, 1, count, pipe) != count) break;
      at = (at + count) % bytes.size();
    }
    std::fclose(pipe);
  });
}

void TestSoundServer::StopFeeding() {
  feeding_ = false;
  if (feeder_.joinable()) feeder_.join();
}

}  // namespace orvane::testing
